#!/usr/bin/env python3
"""Writes the example designs in examples/ (design files are binary record streams).

Each design is described here as blocks (type, position, variables) and wires from an output
port to an input port; port positions follow the block types' outlines in defs/. Run it after
changing an example, then regenerate the expected output with scripts/generate-examples.sh.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "examples")


def record(content: bytes) -> bytes:
    return struct.pack(">I", len(content)) + content


def string(text: str) -> bytes:
    return text.encode("latin-1") + b"\0"


def u32(value: int) -> bytes:
    return struct.pack(">I", value & 0xFFFFFFFF)


def f32(value: float) -> bytes:
    return struct.pack(">f", value)


def design_file(definition, output, blocks, wires, geometry=(40, 40, 900, 600)):
    data = record(string("Design") + u32(1))
    data += record(b"p" + string(definition) + string(output) + b"".join(u32(v) for v in geometry))
    for number, (type_name, x, y, variables) in enumerate(blocks):
        content = b"o" + u32(number) + string(type_name) + f32(x) + f32(y) + f32(number + 1)
        content += u32(len(variables))
        for name in sorted(variables, key=lambda n: n.encode("latin-1")):
            content += string(name) + string(variables[name])
        data += record(content)
    for first, first_port, second, second_port, horizontal, points in wires:
        content = b"c" + u32(first) + u32(first_port) + u32(second) + u32(second_port)
        content += bytes([1 if horizontal else 0]) + u32(len(points) - 1)
        content += b"".join(u32(x) + u32(y) for x, y in points)
        data += record(content)
    return data


def default_ports(inputs, outputs):
    """Stub ends of the default outline: inputs on the left, outputs on the right."""
    return ({k: (-10, 20 * k) for k in range(1, inputs + 1)},
            {k: (50, 20 * k) for k in range(1, outputs + 1)})


def routed(start, end, middle_x=None):
    """An output-to-input wire: across, down or up, across."""
    mx = middle_x if middle_x is not None else (start[0] + end[0]) // 2
    return [start, (mx, start[1]), (mx, end[1]), end]


class Layout:
    def __init__(self, ports):
        self.ports = ports  # type -> (inputs {k: end}, outputs {k: end})
        self.blocks = []
        self.wires = []

    def block(self, type_name, x, y, **variables):
        self.blocks.append((type_name, x, y, variables))
        return len(self.blocks) - 1

    def end(self, number, port, is_input):
        type_name, x, y, _ = self.blocks[number]
        inputs, outputs = self.ports[type_name]
        dx, dy = (inputs if is_input else outputs)[port]
        return (int(x) + dx, int(y) + dy)

    def wire(self, source, out, target, into, middle_x=None):
        start, end = self.end(source, out, False), self.end(target, into, True)
        self.wires.append((source, out, target, into, True, routed(start, end, middle_x)))

    def wire_down(self, source, out, target, into):
        """From a downward stub: down, then across into the input."""
        start, end = self.end(source, out, False), self.end(target, into, True)
        self.wires.append((source, out, target, into, False, [start, (start[0], end[1]), end]))


def filter_demo():
    ports = {
        "Constant": ({}, {1: (30, 10)}),
        "Sine": default_ports(0, 1),
        "Gain": ({1: (-10, 10)}, {1: (40, 10)}),
        "Sum": default_ports(2, 1),
        "Delay": default_ports(1, 1),
        "Print": default_ports(1, 0),
    }
    d = Layout(ports)
    sine = d.block("Sine", 40, 60, amplitude="1.0", frequency="0.125")
    constant = d.block("Constant", 40, 190, value="0.25")
    gain = d.block("Gain", 160, 70, factor="0.5")
    total = d.block("Sum", 290, 60)
    delay = d.block("Delay", 300, 200, initial="0.0")
    out = d.block("Print", 440, 70, name="sum")
    late = d.block("Print", 450, 210, name="delayed")
    d.wire(sine, 1, gain, 1)
    d.wire(gain, 1, total, 1)
    d.wire(constant, 1, total, 2)
    d.wire(total, 1, out, 1)
    d.wire(gain, 1, delay, 1, middle_x=230)
    d.wire(delay, 1, late, 1)
    return design_file("signal_chain.def", "filter_demo.c", d.blocks, d.wires)


def feedback_demo():
    ports = {
        "Constant": ({}, {1: (30, 10)}),
        "Sum": default_ports(2, 1),
        "Delay": default_ports(1, 1),
        "Gain": ({1: (-10, 10)}, {1: (40, 10)}),
        "Print": default_ports(1, 0),
    }
    d = Layout(ports)
    # level = step + 0.9 * (level one sample earlier)
    step = d.block("Constant", 40, 60, value="1.0")
    total = d.block("Sum", 150, 50)
    out = d.block("Print", 300, 60, name="level")
    decay = d.block("Gain", 300, 160, factor="0.9")
    delay = d.block("Delay", 170, 300, initial="0.0")
    d.wire(step, 1, total, 1)
    d.wire(total, 1, out, 1)
    d.wire(total, 1, decay, 1, middle_x=250)
    d.wires.append((decay, 1, delay, 1, True,
                    [d.end(decay, 1, False), (380, 170), (380, 280), (140, 280), (140, 320),
                     d.end(delay, 1, True)]))
    d.wires.append((delay, 1, total, 2, True,
                    [d.end(delay, 1, False), (250, 320), (250, 360), (120, 360), (120, 90),
                     d.end(total, 2, True)]))
    return design_file("signal_chain.def", "feedback_demo.c", d.blocks, d.wires)


def door_controller():
    ports = {
        "Start": ({}, {1: (30, 10)}),
        "State": ({1: (-10, 10)}, {1: (60, 10), 2: (20, 30)}),
        "Final": ({1: (-10, 10)}, {}),
    }
    d = Layout(ports)
    start = d.block("Start", 30, 100)
    closed = d.block("State", 110, 100, name="Closed",
                     description="The door is shut and the motor is off.")
    opening = d.block("State", 250, 100, name="Opening",
                      description="The motor runs until the door is fully open.")
    opened = d.block("State", 390, 100, name="Open",
                     description="The door stays open until the timer runs out.")
    jammed = d.block("State", 390, 220, name="Jammed",
                     description="The motor stalled; an operator must clear the door.")
    done = d.block("Final", 540, 104, name="Shut down",
                   description="The controller stops.")
    service = d.block("Final", 540, 224, name="Service",
                      description="The controller waits for a technician.")
    d.wire(start, 1, closed, 1)
    d.wire(closed, 1, opening, 1)
    d.wire(opening, 1, opened, 1)
    d.wire_down(opening, 2, jammed, 1)
    d.wire(opened, 1, done, 1)
    d.wire(jammed, 1, service, 1)
    return design_file("state_machine.def", "door_controller", d.blocks, d.wires)


EXPRESSION_PORTS = {
    "Variable": ({}, {1: (50, 10)}),
    "Number": default_ports(0, 1),
    "Add": default_ports(2, 1),
    "Multiply": default_ports(2, 1),
    "Show": ({1: (-10, 10)}, {}),
}


def formula():
    """The user guide's worked example: (x + 1) * y, and x + 1 on its own."""
    d = Layout(EXPRESSION_PORTS)
    x = d.block("Variable", 40, 100, name="x", value="3")
    one = d.block("Number", 40, 160, value="1")
    add = d.block("Add", 160, 90)
    y = d.block("Variable", 160, 190, name="y", value="2")
    times = d.block("Multiply", 280, 90)
    result = d.block("Show", 400, 100, name="result")
    total = d.block("Show", 400, 40, name="sum")
    d.wire(x, 1, add, 1)
    d.wire(one, 1, add, 2, middle_x=120)
    d.wire(add, 1, times, 1)
    d.wire(y, 1, times, 2, middle_x=240)
    d.wire(times, 1, result, 1)
    d.wire(add, 1, total, 1, middle_x=230)
    return design_file("guide_expressions.def", "formula.c", d.blocks, d.wires)


def feedback_loop():
    """A mistake the guide explains: an expression that contains itself."""
    d = Layout(EXPRESSION_PORTS)
    x = d.block("Variable", 40, 60, name="x", value="3")
    add = d.block("Add", 160, 50)
    half = d.block("Number", 160, 150, value="0.5")
    times = d.block("Multiply", 280, 50)
    result = d.block("Show", 400, 60, name="result")
    d.wire(x, 1, add, 1)
    d.wire(add, 1, times, 1)
    d.wire(half, 1, times, 2, middle_x=240)
    d.wire(times, 1, result, 1)
    d.wires.append((times, 1, add, 2, True,
                    [d.end(times, 1, False), (350, 70), (350, 130), (130, 130), (130, 90),
                     d.end(add, 2, True)]))
    return design_file("guide_expressions.def", "feedback_loop.c", d.blocks, d.wires)


def conversions():
    """The CMake example project's design: two unit conversions as C functions."""
    d = Layout({
        "Argument": default_ports(0, 1),
        "Scale": default_ports(1, 1),
        "Offset": default_ports(1, 1),
        "Function": default_ports(1, 0),
    })
    argument = d.block("Argument", 40, 60)
    fahrenheit = d.block("Scale", 150, 60, factor="1.8")
    shifted = d.block("Offset", 260, 60, amount="32")
    to_fahrenheit = d.block("Function", 370, 60, name="celsius_to_fahrenheit")
    miles = d.block("Scale", 150, 160, factor="0.621371")
    to_miles = d.block("Function", 370, 160, name="km_to_miles")
    d.wire(argument, 1, fahrenheit, 1)
    d.wire(fahrenheit, 1, shifted, 1)
    d.wire(shifted, 1, to_fahrenheit, 1)
    d.wire(argument, 1, miles, 1, middle_x=110)
    d.wire(miles, 1, to_miles, 1)
    return design_file("conversions.def", "units", d.blocks, d.wires)


def main():
    for name, build in (("filter_demo", filter_demo), ("feedback_demo", feedback_demo),
                        ("door_controller", door_controller), ("formula", formula),
                        ("errors/feedback_loop", feedback_loop),
                        ("cmake-project/conversions", conversions)):
        os.makedirs(os.path.dirname(os.path.join(EXAMPLES, name)), exist_ok=True)
        with open(os.path.join(EXAMPLES, name + ".des"), "wb") as out:
            out.write(build())


if __name__ == "__main__":
    main()
