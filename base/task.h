#ifndef BASE_TASK_H_
#define BASE_TASK_H_

#include <cstdint>
#include <functional>

namespace kbase {

// A unit of work: copyable, no arguments, no result. An empty Task is allowed and is skipped.
using Task = std::function<void()>;

// One queued unit of work of a MessageLoop.
struct QueuedTask {
  // 0 for an immediate task; otherwise the earliest TickClock time (microseconds) to run it.
  int64_t run_time = 0;
  // Set when the task enters the delayed queue; breaks ties between equal run times.
  int32_t sequence = 0;
  // False for tasks that may run only at the outermost run level.
  bool nestable = true;
  Task task;
};

}  // namespace kbase

#endif  // BASE_TASK_H_
