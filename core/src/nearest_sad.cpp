#include "nearest_sad.h"

#include <algorithm>
#include <cstdlib>

#include "errors.h"

namespace mireo {
namespace {

constexpr int kFinestShift = 3;

uint32_t channel(uint32_t packed, int c) { return packed >> (8 * c) & 0xFF; }

uint32_t absDiff(uint32_t a, uint32_t b) { return a > b ? a - b : b - a; }

// Inclusive ranges of blue, green and red of the box of side 1 << shift
// that holds a colour.
struct BoxRange {
    int16_t lo[3], hi[3];
};

BoxRange boxAround(uint32_t packed, int shift) {
    BoxRange box{};
    for (int c = 0; c < 3; ++c) {
        auto level = static_cast<int16_t>(channel(packed, c) >> shift << shift);
        box.lo[c] = level;
        box.hi[c] = static_cast<int16_t>(level + (1 << shift) - 1);
    }
    return box;
}

// Distance of a level to the farthest and to the nearest end of a range;
// branch-free so that the loops over a group of rows vectorise.
int16_t farGap(int16_t v, int16_t lo, int16_t hi) { return std::max<int16_t>(int16_t(v - lo), int16_t(hi - v)); }
int16_t nearGap(int16_t v, int16_t lo, int16_t hi) {
    return static_cast<int16_t>(std::max<int16_t>(int16_t(lo - v), 0) + std::max<int16_t>(int16_t(v - hi), 0));
}

uint32_t levelKey(uint32_t packed, int shift) {
    const int bits = 8 - shift;
    return channel(packed, 2) >> shift << (2 * bits) | channel(packed, 1) >> shift << bits | channel(packed, 0) >> shift;
}

uint32_t packedOfBox(uint32_t key) { return (key & 0x1F) << 3 | (key >> 5 & 0x1F) << 11 | (key >> 10) << 19; }

}  // namespace

NearestSad::NearestSad(std::vector<Bgr> colours)
    : colours_(std::move(colours)),
      state_(kBoxes, kUnbuilt),
      boxes_(std::make_unique_for_overwrite<ShortBox[]>(kBoxes)),
      rows_(std::make_unique_for_overwrite<uint8_t[]>(std::size_t{8} * kBoxes)),
      levels_{{5, std::vector<GroupList>(1 << 9), {}}, {4, std::vector<GroupList>(1 << 12), {}}} {
    if (colours_.empty() || colours_.size() > 256) raise(kSubscriptOutOfRange, "colour table size");
    // A later row of the same colour is never nearer, nor does it win a tie.
    RowSet distinct;
    for (uint32_t row = 0; row < colours_.size(); ++row) {
        const uint32_t packed = packBgr(colours_[row]);
        auto earlier = std::find_if(colours_.begin(), colours_.begin() + row,
                                    [&](const Bgr& c) { return packBgr(c) == packed; });
        if (earlier == colours_.begin() + row) distinct.rows[distinct.count++] = static_cast<uint8_t>(row);
    }
    allList_ = store(distinct, allRows_);
}

uint32_t NearestSad::find(uint8_t r, uint8_t g, uint8_t b) {
    const uint32_t packed = b | uint32_t(g) << 8 | uint32_t(r) << 16;
    const uint32_t key = boxKey(packed);
    if (const ShortBox* box = shortBox(key)) return rows_[std::size_t{8} * key + nearestSlot(*box, packed)];
    // A long box searches the enclosing 16-box's rows: they include its own.
    const GroupList& rows = list(1, packed);
    return nearestInList(levels_[1].pool.data() + rows.first, rows.count, packed);
}

uint32_t NearestSad::nearestPacked(uint32_t packed) {
    return packBgr(colours_[find(uint8_t(channel(packed, 2)), uint8_t(channel(packed, 1)), uint8_t(channel(packed, 0)))]);
}

uint32_t NearestSad::nearestSlotPlain(const ShortBox& box, uint32_t packed) {
    uint32_t best = UINT32_MAX;
    for (uint32_t slot = 0; slot < 8; ++slot) {
        const auto c = static_cast<uint32_t>(box.colour[slot]);
        uint32_t d = absDiff(channel(packed, 0), channel(c, 0)) + absDiff(channel(packed, 1), channel(c, 1)) +
                     absDiff(channel(packed, 2), channel(c, 2));
        best = std::min(best, d << 3 | slot);
    }
    return best & 7;
}

// Distance in the high bits, row in the low ones: the smallest key is the
// nearest row, and the lowest of equally near rows.  Filling rows repeat the
// last one and change nothing.
uint32_t NearestSad::nearestInList(const RowGroup* groups, uint32_t count, uint32_t packed) {
    const int b = int(channel(packed, 0)), g = int(channel(packed, 1)), r = int(channel(packed, 2));
    uint32_t best = UINT32_MAX;
    for (const RowGroup* group = groups; group != groups + (count + 7) / 8; ++group)
        for (int i = 0; i < 8; ++i) {
            auto d = static_cast<uint32_t>(std::abs(b - group->blue[i]) + std::abs(g - group->green[i]) +
                                           std::abs(r - group->red[i]));
            best = std::min(best, d << 8 | uint32_t(group->row[i]));
        }
    return best & 0xFF;
}

bool NearestSad::buildBox(uint32_t key) {
    if (state_[key] == kUnbuilt) {
        const uint32_t packed = packedOfBox(key);
        RowSet rows = candidates(levels_[1].pool, list(1, packed), kFinestShift, packed);
        if (rows.count <= 8) {
            for (uint32_t slot = 0; slot < 8; ++slot) {
                uint8_t row = rows.rows[std::min(slot, rows.count - 1)];
                boxes_[key].colour[slot] = packBgr(colours_[row]);
                rows_[std::size_t{8} * key + slot] = row;
            }
            state_[key] = kShort;
        } else {
            state_[key] = kLong;
        }
    }
    return state_[key] == kShort;
}

const NearestSad::GroupList& NearestSad::list(int level, uint32_t packed) {
    Level& l = levels_[level];
    GroupList& out = l.lists[levelKey(packed, l.shift)];
    if (out.first == UINT32_MAX) {
        const GroupList& parent = level == 0 ? allList_ : list(level - 1, packed);
        const std::vector<RowGroup>& parentPool = level == 0 ? allRows_ : levels_[level - 1].pool;
        out = store(candidates(parentPool, parent, l.shift, packed), l.pool);
    }
    return out;
}

// The rows of a list that can be nearest to some colour of the box around
// `packed`: those whose nearest distance is within the smallest farthest one.
NearestSad::RowSet NearestSad::candidates(const std::vector<RowGroup>& pool, const GroupList& from, int shift,
                                          uint32_t packed) const {
    const BoxRange box = boxAround(packed, shift);
    const RowGroup* groups = pool.data() + from.first;
    const uint32_t groupCount = (from.count + 7) / 8;
    int16_t d[8];
    auto distances = [&](const RowGroup& g, auto gap) {
        for (int i = 0; i < 8; ++i)
            d[i] = static_cast<int16_t>(gap(g.blue[i], box.lo[0], box.hi[0]) + gap(g.green[i], box.lo[1], box.hi[1]) +
                                        gap(g.red[i], box.lo[2], box.hi[2]));
    };
    int16_t limit = INT16_MAX;
    for (uint32_t gi = 0; gi < groupCount; ++gi) {
        distances(groups[gi], farGap);
        for (int i = 0; i < 8; ++i) limit = std::min(limit, d[i]);
    }
    RowSet kept;
    for (uint32_t gi = 0; gi < groupCount; ++gi) {
        const RowGroup& g = groups[gi];
        distances(g, nearGap);
        const uint32_t inGroup = std::min<uint32_t>(8, from.count - 8 * gi);
        for (uint32_t i = 0; i < inGroup; ++i) {
            kept.rows[kept.count] = static_cast<uint8_t>(g.row[i]);
            kept.count += d[i] <= limit;
        }
    }
    return kept;
}

NearestSad::GroupList NearestSad::store(const RowSet& rows, std::vector<RowGroup>& pool) const {
    GroupList list{static_cast<uint32_t>(pool.size()), rows.count};
    for (uint32_t first = 0; first < rows.count; first += 8) {
        RowGroup& g = pool.emplace_back();
        for (uint32_t i = 0; i < 8; ++i) {
            uint8_t row = rows.rows[std::min(first + i, rows.count - 1)];
            const Bgr& c = colours_[row];
            g.red[i] = c.red;
            g.green[i] = c.green;
            g.blue[i] = c.blue;
            g.row[i] = row;
        }
    }
    return list;
}

}  // namespace mireo
