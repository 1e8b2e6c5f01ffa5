#include "defgen.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

class Random {
public:
    explicit Random(unsigned seed) : m_state(seed * 2654435761u + 1) {}
    unsigned next() {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return unsigned(m_state >> 33);
    }
    unsigned below(unsigned n) { return next() % n; }

private:
    std::uint64_t m_state;
};

const char* const kWords[] = {"gain",   "sum",     "delay",  "filter",    "scale",
                              "limit",  "mux",     "split",  "integrate", "derive",
                              "sample", "hold",    "switch", "counter",   "table",
                              "offset", "average", "clamp",  "pulse",     "ramp"};
const char* const kCategories[] = {"Math", "Signal", "Logic", "Sources", "Sinks", "Control"};
const char* const kTypes[] = {"double", "int", "float", "long", "unsigned"};

const char* word(Random& r) {
    return kWords[r.below(sizeof kWords / sizeof *kWords)];
}

void comment(std::string& out, Random& r) {
    switch (r.below(4)) {
    case 0:
        out += "    # ";
        out += word(r);
        out += " keeps its state between steps\n";
        break;
    case 1:
        out += "    // see the ";
        out += word(r);
        out += " block for the inverse operation\n";
        break;
    case 2:
        out += "    /* the ";
        out += word(r);
        out += " value is\n       clamped before use */\n";
        break;
    default:
        break;
    }
}

void block(std::string& out, Random& r, unsigned index) {
    // Names spread over the alphabet so the name order differs from the file order.
    const unsigned key = (index * 2654435761u) % 1000003u;
    const std::string name = std::string(word(r)) + "_" + std::to_string(key);
    std::vector<std::string> outputs, inputs;
    for (unsigned i = 0, n = 1 + r.below(3); i < n; ++i)
        outputs.push_back("y" + std::to_string(i));
    for (unsigned i = 0, n = r.below(4); i < n; ++i)
        inputs.push_back("u" + std::to_string(i));

    out += "/* Block " + name + ": generated test type " + std::to_string(index) + " */\n";
    out += "block " + name + " (";
    for (std::size_t i = 0; i < outputs.size(); ++i)
        out += (i ? ", " : " ") + outputs[i];
    out += " :";
    for (std::size_t i = 0; i < inputs.size(); ++i)
        out += (i ? ", " : " ") + inputs[i];
    out += " ) {\n";
    out += "    category \"" + std::string(kCategories[r.below(6)]) + "\"\n";
    out += "    shape \"j20s\" \"l01s\"\n          \"ee.nR01n.\"\n";
    comment(out, r);

    const char* type = kTypes[r.below(5)];
    out += "    edit factor \"" + std::to_string(r.below(1000)) + "." +
           std::to_string(r.below(100)) + "\"\n";
    if (r.below(2))
        out += "    edit collect " + outputs[0] + " \"\"\n";
    out += "    - decl \"" + std::string(type) + " $(name)_$(bnum)_state;\"\n";
    out += "    init \"$(name)_$(bnum)_state = 0;\"\n";
    out += "    body \"/* " + name + " */\"\n";
    for (unsigned i = 0, n = 2 + r.below(5); i < n; ++i) {
        out += "         \"$(" + outputs[i % outputs.size()] + ") = ";
        out += inputs.empty() ? std::string("$(factor)")
                              : "$(" + inputs[i % inputs.size()] + ") * $(factor)";
        out += " + $(name)_$(bnum)_state; /* " + std::string(word(r)) + " */\"\n";
    }
    comment(out, r);
    out += "    -\n";
    out += "    final \"$(name)_$(bnum)_state += \" \"$(" + outputs[0] + ");\"\n";
    out += "}\n\n";
}

} // namespace

std::string generateDefinitions(std::size_t targetBytes, unsigned seed) {
    Random r(seed);
    std::string out;
    out.reserve(targetBytes + 4096);
    out += "# Synthetic definition file for benchmarks.\n"
           "// It exercises every construct of the language.\n\n"
           "prologue \"/* generated code */\"\n"
           "prologue \"#include <math.h>\"\n"
           "epilogue \"/* end */\"\n\n";
    for (unsigned index = 0; out.size() + 200 < targetBytes; ++index)
        block(out, r, index);
    out += "file \".c\" prologue decl init body final epilogue ;\n"
           "file \".h\" decl ;\n";
    return out;
}
