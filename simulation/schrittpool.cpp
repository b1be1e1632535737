#include "simulation/schrittpool.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace t21 {

namespace {

// A waiting thread spins a little, then yields the core to whatever else
// wants it, and at last sleeps until the value changes. On an idle machine
// the next step comes while it spins or yields; on a busy one it leaves the
// core to the threads doing work.
constexpr int kSpins = 200;
constexpr int kYields = 2000;

inline void Pause() {
#if defined(__x86_64__) || defined(__i386__)
  _mm_pause();
#endif
}

template <class T, class Fertig>
void Warte(std::atomic<T>& a, Fertig fertig) {
  for (int i = 0;; ++i) {
    const T v = a.load(std::memory_order_acquire);
    if (fertig(v)) return;
    if (i < kSpins) {
      Pause();
    } else if (i < kSpins + kYields) {
      std::this_thread::yield();
    } else {
      a.wait(v, std::memory_order_acquire);
      i = 0;
    }
  }
}

}  // namespace

TSchrittPool::TSchrittPool(int teile, std::function<void(int)> arbeit)
    : FArbeit(std::move(arbeit)) {
  for (int t = 1; t < teile; ++t) FThreads.emplace_back([this, t] { Arbeiter(t); });
}

TSchrittPool::~TSchrittPool() {
  FEnde.store(true, std::memory_order_relaxed);
  FTakt.fetch_add(1, std::memory_order_release);
  FTakt.notify_all();
  for (std::thread& t : FThreads) t.join();
}

void TSchrittPool::Lauf() {
  const int andere = static_cast<int>(FThreads.size());
  FFertig.store(0, std::memory_order_relaxed);
  FTakt.fetch_add(1, std::memory_order_release);
  FTakt.notify_all();
  FArbeit(0);
  Warte(FFertig, [andere](int f) { return f >= andere; });
}

void TSchrittPool::Arbeiter(int teil) {
  uint64_t gesehen = 0;
  for (;;) {
    Warte(FTakt, [gesehen](uint64_t t) { return t != gesehen; });
    gesehen = FTakt.load(std::memory_order_acquire);
    if (FEnde.load(std::memory_order_relaxed)) return;
    FArbeit(teil);
    FFertig.fetch_add(1, std::memory_order_release);
    FFertig.notify_all();
  }
}

int StandardThreads() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : static_cast<int>(n);
}

}  // namespace t21
