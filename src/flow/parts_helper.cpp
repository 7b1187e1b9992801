#include "flow/parts_helper.hpp"

namespace orograd {

namespace {

// The state word: generation above, then the job's ticket count, then the next ticket.
constexpr int kTicketBits = 16;
constexpr uint64_t kTicketMask = (uint64_t{1} << kTicketBits) - 1;

uint64_t generation_of(uint64_t state) { return state >> (2 * kTicketBits); }
uint64_t tickets_of(uint64_t state) { return (state >> kTicketBits) & kTicketMask; }
uint64_t next_ticket_of(uint64_t state) { return state & kTicketMask; }

// Tells the core that this thread is waiting, so that spinning costs less.
void pause_spinning() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

}  // namespace

PartsHelper::PartsHelper() {
  for (std::size_t k = 1; k < most_parts(); ++k) helpers_.emplace_back([this] { help(); });
}

PartsHelper::~PartsHelper() {
  stop_.store(true, std::memory_order_relaxed);
  for (std::thread& helper : helpers_) helper.join();
}

// The job is written before the state that announces it (release), and read only by a
// thread that has taken one of its tickets (acquire); it is not written again before
// every ticket is done, so no thread reads it while it changes.
void PartsHelper::publish(std::size_t tickets) {
  done_.store(0, std::memory_order_relaxed);
  ++generation_;
  state_.store((generation_ << (2 * kTicketBits)) | (tickets << kTicketBits), std::memory_order_release);
  take_tickets(generation_);
  while (done_.load(std::memory_order_acquire) < tickets) pause_spinning();
}

void PartsHelper::take_tickets(uint64_t generation) {
  uint64_t state = state_.load(std::memory_order_acquire);
  while (generation_of(state) == generation && next_ticket_of(state) < tickets_of(state)) {
    if (!state_.compare_exchange_weak(state, state + 1, std::memory_order_acq_rel)) continue;
    const std::size_t ticket = next_ticket_of(state);
    if (ticket >= job_.first_phase)
      while (done_.load(std::memory_order_acquire) < job_.first_phase) pause_spinning();
    job_.call(job_.part, ticket);
    done_.fetch_add(1, std::memory_order_release);
    state = state_.load(std::memory_order_acquire);
  }
}

void PartsHelper::help() {
  uint64_t seen = 0;
  while (!stop_.load(std::memory_order_relaxed)) {
    const uint64_t generation = generation_of(state_.load(std::memory_order_acquire));
    if (generation == seen) {
      pause_spinning();
      continue;
    }
    seen = generation;
    take_tickets(generation);
  }
}

}  // namespace orograd
