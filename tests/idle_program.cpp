// Does nothing until it is ended: the tests run it as the game's client.
#include <chrono>
#include <thread>

int main() {
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}
