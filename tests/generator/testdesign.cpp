#include "testdesign.h"

PortEnd TestBlock::inputSource(int port) const {
    if (port < 1 || std::size_t(port) > m_sources.size())
        return {};
    return m_sources[std::size_t(port - 1)];
}

void TestBlock::outputTargets(int port, std::vector<PortEnd>& targets) const {
    if (port < 1 || std::size_t(port) > m_targets.size())
        return;
    const auto& list = m_targets[std::size_t(port - 1)];
    targets.insert(targets.end(), list.begin(), list.end());
}

TestBlock& TestBlock::set(const std::string& name, const std::string& value) {
    ValueList* list = m_variables.find(name);
    if (!list) {
        auto created = std::make_unique<ValueList>();
        list = created.get();
        m_variables.insert(name.c_str(), std::move(created));
    }
    list->append(DynString(value.c_str()));
    return *this;
}

TestBlock& TestDesign::add(std::string type, double x, double y, int inputs, int outputs) {
    return m_blocks.emplace_back(std::move(type), x, y, inputs, outputs);
}

void TestDesign::wire(TestBlock& from, int output, TestBlock& to, int input) {
    to.m_sources[std::size_t(input - 1)] = PortEnd{&from, output};
    from.m_targets[std::size_t(output - 1)].push_back(PortEnd{&to, input});
}

std::vector<const BlockView*> TestDesign::views() const {
    std::vector<const BlockView*> out;
    for (const TestBlock& block : m_blocks)
        out.push_back(&block);
    return out;
}
