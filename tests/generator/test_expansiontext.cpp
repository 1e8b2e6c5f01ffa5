#include "generator/expansiontext.h"
#include "generator/referencescan.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// A plain string with one label per character: what the gap buffer must behave like.
struct Model {
    std::string text;
    std::vector<ResolutionTree::Id> labels;
};

ResolutionTree::Id commonOf(const std::vector<ResolutionTree::Id>& parent,
                            const std::vector<int>& depth, ResolutionTree::Id a,
                            ResolutionTree::Id b) {
    while (a != b) {
        if (depth[a] >= depth[b])
            a = parent[a];
        else
            b = parent[b];
    }
    return a;
}

} // namespace

// Random edits, searches, label queries and moves to the output, each checked against a plain
// string: the gap, the runs and the held labels must never show.
TEST(ExpansionText, BehavesLikeAPlainLabelledString) {
    std::mt19937 rng(7);
    const std::string alphabet = "$()\\ab";
    for (int round = 0; round < 200; ++round) {
        ResolutionTree tree;
        TextUsage usage;
        std::vector<ResolutionTree::Id> parent{ResolutionTree::kRoot};
        std::vector<int> depth{0};
        std::vector<ResolutionTree::Id> made{ResolutionTree::kRoot};
        for (int i = 0; i < 8; ++i) {
            const auto above = made[rng() % made.size()];
            const auto id = tree.make(above, std::uint64_t(i + 1), false);
            parent.resize(std::max<std::size_t>(parent.size(), id + 1));
            depth.resize(parent.size());
            parent[id] = above;
            depth[id] = depth[above] + 1;
            made.push_back(id);
        }
        Model model;
        std::string out;
        std::string moved;
        {
            ExpansionText text(tree, usage);
            for (int op = 0; op < 300; ++op) {
                const std::size_t size = model.text.size();
                ASSERT_EQ(text.size(), size);
                const std::size_t pos = rng() % (size + 1);
                switch (rng() % 5) {
                case 0:
                case 1: { // replace
                    const std::size_t length = std::min<std::size_t>(rng() % 4, size - pos);
                    std::string with;
                    for (int n = int(rng() % 6); n > 0; --n)
                        with += alphabet[rng() % alphabet.size()];
                    const auto label = made[rng() % made.size()];
                    text.replace(pos, length, with, label);
                    model.text.replace(pos, length, with);
                    model.labels.erase(model.labels.begin() + std::ptrdiff_t(pos),
                                       model.labels.begin() + std::ptrdiff_t(pos + length));
                    model.labels.insert(model.labels.begin() + std::ptrdiff_t(pos), with.size(),
                                        label);
                    break;
                }
                case 2: { // searches
                    const std::string_view plain(model.text);
                    ASSERT_EQ(text.find(')', pos), plain.find(')', pos));
                    ASSERT_EQ(text.findOpen(pos), plain.find("$(", pos));
                    const std::size_t floor = rng() % (pos + 1);
                    const std::size_t expected =
                        pos >= 2 ? plain.rfind("$(", pos - 2) : std::string_view::npos;
                    ASSERT_EQ(text.rfindOpen(pos, floor),
                              expected != std::string_view::npos && expected >= floor
                                  ? expected
                                  : std::string_view::npos);
                    break;
                }
                case 3: { // labels
                    if (pos == size)
                        break;
                    const std::size_t length = 1 + rng() % (size - pos);
                    auto common = model.labels[pos];
                    for (std::size_t i = pos; i < pos + length; ++i)
                        common = commonOf(parent, depth, common, model.labels[i]);
                    ASSERT_EQ(text.commonLabel(pos, length), common);
                    ASSERT_EQ(text.view(pos, length), model.text.substr(pos, length));
                    break;
                }
                case 4: // move the front out
                    if (rng() % 4 == 0) {
                        const std::size_t length = rng() % (size + 1) / 2;
                        text.moveFront(out, length);
                        moved += model.text.substr(0, length);
                        model.text.erase(0, length);
                        model.labels.erase(model.labels.begin(),
                                           model.labels.begin() + std::ptrdiff_t(length));
                    }
                    break;
                }
                ASSERT_EQ(usage.bytes, model.text.size());
            }
            text.moveAll(out);
            EXPECT_EQ(out, moved + model.text);
            EXPECT_EQ(usage.bytes, 0u);
        }
        for (std::size_t i = 1; i < made.size(); ++i)
            tree.release(made[i]);
        EXPECT_EQ(tree.live(), 1u) << "a label was held or let go once too often";
    }
}

// The scan over the gap buffer finds what the scan over a plain string finds.
TEST(ExpansionText, ScanMatchesThePlainScan) {
    std::mt19937 rng(11);
    const std::string alphabet = "$()\\a:";
    ResolutionTree tree;
    TextUsage usage;
    for (int round = 0; round < 3000; ++round) {
        std::string plain;
        for (int n = int(rng() % 16); n > 0; --n)
            plain += alphabet[rng() % alphabet.size()];
        ExpansionText text(tree, usage);
        // Built in two pieces with the gap somewhere inside.
        const std::size_t cut = rng() % (plain.size() + 1);
        text.append(plain.substr(cut), ResolutionTree::kRoot);
        text.replace(0, 0, plain.substr(0, cut), ResolutionTree::kRoot);
        text.view(rng() % (plain.size() + 1), 0);
        Reference expected;
        Reference found;
        const bool hasPlain = findReference(plain, 0, expected);
        ASSERT_EQ(findReference(text, -1, 0, 0, found), hasPlain) << plain;
        ASSERT_EQ(found.firstOpen, expected.firstOpen) << plain;
        if (hasPlain) {
            ASSERT_EQ(found.begin, expected.begin) << plain;
            ASSERT_EQ(found.end, expected.end) << plain;
        }
    }
}
