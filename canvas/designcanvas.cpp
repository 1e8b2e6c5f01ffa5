#include "canvas/designcanvas.h"

std::uint64_t DesignCanvas::registerBlock(BlockItem* block) {
    const std::uint64_t key = nextKey_++;
    blocks_.emplace(key, block);
    return key;
}

void DesignCanvas::unregisterBlock(std::uint64_t key) {
    blocks_.erase(key);
}

std::uint64_t DesignCanvas::moveBlock(std::uint64_t from, std::uint64_t to) {
    const auto block = blocks_.find(from);
    if (block == blocks_.end() || blocks_.contains(to)) {
        return from;
    }
    blocks_.emplace(to, block->second);
    blocks_.erase(block);
    return to;
}

std::vector<BlockItem*> DesignCanvas::blocks() const {
    std::vector<BlockItem*> result;
    result.reserve(blocks_.size());
    for (const auto& [key, block] : blocks_) {
        result.push_back(block);
    }
    return result;
}
