// Numbered items of work handed out to a few threads one at a time, each item
// done once. The caller keeps what each item produced in a slot of its own and
// reads the slots in item order afterwards, so the outcome does not depend on
// which thread did which item.
#pragma once

#include <cstddef>
#include <functional>

namespace fv {

// Does one item on the thread it was made for.
using item_worker = std::function<void(std::size_t item)>;
// Makes a thread's worker on that thread, with whatever state the thread keeps
// between its items (an engine, a buffer). May throw: the thread then does no
// items and the failure is rethrown when every thread has ended.
using worker_maker = std::function<item_worker()>;
// Told how many items are done of how many; false stops handing out items.
using item_progress = std::function<bool(std::size_t done, std::size_t total)>;

// Threads to use: FERRAVANE_THREADS when it names a number from 1 to 64, else
// the machine's cores.
unsigned worker_threads();

// Does items 0 to count - 1 on up to `threads` threads. A worker must not throw
// from an item: it keeps an item's failure with that item's outcome. With
// `progress`, the calling thread only watches: it calls `progress` before the
// first item, about every 50 ms and at the end, and once it says stop, the items
// not yet begun are left alone. Without, the calling thread is one of the
// workers. False when the work was stopped.
bool do_items(std::size_t count, unsigned threads, const worker_maker& make_worker,
              const item_progress& progress = {});

}  // namespace fv
