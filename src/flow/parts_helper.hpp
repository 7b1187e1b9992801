#pragma once
// Ordered parts for long series of small loops: threads kept spinning take parts as
// they come, and the calling thread does every part no helper has taken. Starting an
// OpenMP team costs microseconds per loop, and its closing barrier waits for every
// thread, also one the host has not scheduled; here the caller waits only for the
// parts a helper has begun.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "flow/ordered_parts.hpp"

namespace orograd {

class PartsHelper {
 public:
  // Starts most_parts() - 1 helper threads, which spin until the helper is destroyed.
  // Pre: no OpenMP team runs while the helper lives, since the spinning threads would
  // take the cores its threads need.
  PartsHelper();
  ~PartsHelper();
  PartsHelper(const PartsHelper&) = delete;
  PartsHelper& operator=(const PartsHelper&) = delete;

  static bool splits(std::size_t count, std::size_t enough) { return split_into_parts(count, enough); }

  // As the free in_ordered_parts: the same parts, each done once, the call returning
  // when all are done.
  template <typename Body>
  void in_ordered_parts(std::size_t count, std::size_t enough, Body body) {
    if (done_in_one_part(count, enough, body)) return;
    auto part = [&](std::size_t ticket) { on_part(count, ticket, body); };
    share(most_parts(), most_parts(), part);
  }

  // As the free in_ordered_parts_twice: the second body starts on a part only when
  // every part has finished the first.
  template <typename First, typename Second>
  void in_ordered_parts_twice(std::size_t count, std::size_t enough, First first, Second second) {
    if (done_in_one_part(count, enough, first, second)) return;
    const std::size_t parts = most_parts();
    auto part = [&](std::size_t ticket) {
      if (ticket < parts) on_part(count, ticket, first);
      else on_part(count, ticket - parts, second);
    };
    share(2 * parts, parts, part);
  }

 private:
  // The work of one loop: tickets 0, 1, ... are taken in order; tickets from
  // `first_phase` on wait until that many tickets are done.
  struct Job {
    void (*call)(void* part, std::size_t ticket) = nullptr;
    void* part = nullptr;
    std::size_t first_phase = 0;
  };

  template <typename Part>
  void share(std::size_t tickets, std::size_t first_phase, Part& part) {
    job_ = {[](void* p, std::size_t ticket) { (*static_cast<Part*>(p))(ticket); }, &part, first_phase};
    publish(tickets);
  }

  void publish(std::size_t tickets);
  void take_tickets(uint64_t generation);
  void help();

  // Generation of the current job, its ticket count and the next ticket, in one word,
  // so that a ticket is taken only of the job it was counted for.
  std::atomic<uint64_t> state_{0};
  std::atomic<std::size_t> done_{0};
  std::atomic<bool> stop_{false};
  uint64_t generation_ = 0;
  Job job_;
  std::vector<std::thread> helpers_;
};

}  // namespace orograd
