#pragma once

#include <QGraphicsScene>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class BlockItem;

// The canvas of a design. It lists its blocks in the order they were created, so that numbering,
// saving and every "first block found" query give the same answer each time.
class DesignCanvas : public QGraphicsScene {
    Q_OBJECT
public:
    using QGraphicsScene::QGraphicsScene;

    // Blocks register themselves when made and leave when destroyed.
    std::uint64_t registerBlock(BlockItem* block);
    void unregisterBlock(std::uint64_t key);
    // Moves a block to the place in the order that key gives, when no other block holds it;
    // returns the block's key afterwards.
    std::uint64_t moveBlock(std::uint64_t from, std::uint64_t to);

    // Blocks and wires report here when they are destroyed, so that the editor can forget them.
    void itemDestroyed(const void* item) {
        if (onItemDestroyed) {
            onItemDestroyed(item);
        }
    }
    std::function<void(const void*)> onItemDestroyed;

    // Every block, oldest first.
    std::vector<BlockItem*> blocks() const;
    int blockCount() const { return int(blocks_.size()); }
    // Visits the blocks oldest first while the visitor returns true.
    template <typename F> void forEachBlock(F&& visit) const {
        for (const auto& [key, block] : blocks_) {
            if (!visit(block)) {
                return;
            }
        }
    }

private:
    std::map<std::uint64_t, BlockItem*> blocks_;
    std::uint64_t nextKey_ = 0;
};
