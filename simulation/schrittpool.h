// A small pool of threads for the parts of a time step that may run side by
// side. The caller's thread runs part 0 and one worker each of the others;
// Lauf returns when all parts of the step are done. Workers wait spinning for
// a short while and then sleep, so a step costs no system call while the
// parts keep coming, and a run that stops leaves no busy thread behind.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace t21 {

class TSchrittPool {
 public:
  // teile >= 1 parts per step; arbeit(teil) does part teil of a step.
  TSchrittPool(int teile, std::function<void(int)> arbeit);
  ~TSchrittPool();
  TSchrittPool(const TSchrittPool&) = delete;
  TSchrittPool& operator=(const TSchrittPool&) = delete;

  int Teile() const { return static_cast<int>(FThreads.size()) + 1; }
  // Runs one step: every part once, part 0 on the calling thread.
  void Lauf();

 private:
  void Arbeiter(int teil);

  std::function<void(int)> FArbeit;
  std::vector<std::thread> FThreads;
  std::atomic<uint64_t> FTakt{0};
  std::atomic<int> FFertig{0};
  std::atomic<bool> FEnde{false};
};

// The number of threads a run uses by default: the cores there are.
int StandardThreads();

}  // namespace t21
