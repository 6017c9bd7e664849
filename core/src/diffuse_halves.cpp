// The column walk on two processors.  The grid is cut into a lower and an
// upper half; the calling thread walks the lower half, a helper thread the
// upper one, each left to right in groups of columns.  The upper half may
// walk a group once the lower half has walked it, because a column of the
// upper half needs from the lower half only the share that column's top
// row passes up; so the helper follows one group behind, and the two halves
// take about half the time of the whole walk, with the same result.
#if defined(__SSE2__)

#include "diffuse_columns.h"
#include "helper_threads.h"

#include <emmintrin.h>

#include <atomic>
#include <exception>
#include <memory>
#include <thread>

namespace mireo {
namespace {

// Groups of columns the lower half has walked; the end value also tells the
// helper to stop early when the lower half failed.
class Handover {
public:
    void publish(int32_t groups) {
        done_.store(groups, std::memory_order_release);
        done_.notify_one();
    }
    // Waits until at least `groups` are done, spinning briefly before it
    // sleeps: the lower half usually publishes within microseconds.
    int32_t await(int32_t groups) {
        int32_t now = done_.load(std::memory_order_acquire);
        for (int spins = 0; now < groups && spins < 2000; ++spins) {
            _mm_pause();
            now = done_.load(std::memory_order_acquire);
        }
        while (now < groups) {
            done_.wait(now, std::memory_order_acquire);
            now = done_.load(std::memory_order_acquire);
        }
        return now;
    }

private:
    std::atomic<int32_t> done_{0};
};

int32_t groupCount(const Grid& grid) { return (grid.width + kBandColumns - 1) / kBandColumns; }

void walkGroup(Grid& grid, const Band& band, int32_t group, NearestSad& nearest) {
    const int32_t first = group * kBandColumns;
    walkBandSse2(grid, band, first, std::min(first + kBandColumns, grid.width), nearest);
}

// The upper half, with a colour search of its own: the search builds its
// boxes as it goes and is not shared between threads.
void walkUpper(Grid& grid, const Band& upper, const std::vector<Bgr>& colours, Handover& handover,
               std::atomic<int32_t>& upperDone, std::exception_ptr& failure) {
    try {
        NearestSad nearest(colours);
        const int32_t groups = groupCount(grid);
        for (int32_t g = 0; g < groups; ++g) {
            if (handover.await(g + 1) > groups) return;  // the lower half failed
            walkGroup(grid, upper, g, nearest);
            upperDone.store(g + 1, std::memory_order_release);
        }
    } catch (...) {
        failure = std::current_exception();
    }
}

// Progress counts columns whose both halves are walked.
void advanceTo(ProgressMeter& progress, int32_t& shown, int32_t columns) {
    for (; shown < columns; ++shown) progress.advance();
}

}  // namespace

bool worthHalving(const Grid& grid) {
    return helperThreadsAllowed() && grid.height >= 8 && int64_t{grid.width} * grid.height >= kHalvingPixels &&
           std::thread::hardware_concurrency() >= 2;
}

void diffuseColumnsInHalves(Grid& grid, NearestSad& nearest, ProgressMeter& progress) {
    if (grid.height < 2) return diffuseColumnsSse2(grid, nearest, progress);
    const int32_t split = grid.height / 2, groups = groupCount(grid);
    auto shares = std::make_unique<UpShare[]>(static_cast<std::size_t>(grid.width));
    const Band lower{split, grid.height - 1, nullptr, shares.get()};
    const Band upper{0, split - 1, shares.get(), nullptr};
    Handover handover;
    std::atomic<int32_t> upperDone{0};
    std::exception_ptr upperFailure;
    std::thread helper;
    try {
        helper = std::thread(walkUpper, std::ref(grid), std::cref(upper), std::cref(nearest.colours()),
                             std::ref(handover), std::ref(upperDone), std::ref(upperFailure));
    } catch (const std::system_error&) {
        return diffuseColumnsSse2(grid, nearest, progress);  // no thread to be had: one walk
    }
    int32_t shown = 0;
    try {
        for (int32_t g = 0; g < groups; ++g) {
            walkGroup(grid, lower, g, nearest);
            handover.publish(g + 1);
            advanceTo(progress, shown, std::min(upperDone.load(std::memory_order_acquire) * kBandColumns, grid.width));
        }
    } catch (...) {
        handover.publish(groups + 1);
        helper.join();
        throw;
    }
    helper.join();
    if (upperFailure) std::rethrow_exception(upperFailure);
    advanceTo(progress, shown, grid.width);
}

}  // namespace mireo

#endif
