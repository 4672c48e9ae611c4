// Writes past the end of a heap block and frees it: a program whose heap is
// corrupt, so that the test scripts can show that Wine's heap checks fail it.
#include <windows.h>

int main() {
  HANDLE heap = ::GetProcessHeap();
  volatile char* block = static_cast<char*>(::HeapAlloc(heap, 0, 16));
  void* next = ::HeapAlloc(heap, 0, 16);
  for (int i = 0; i < 64; ++i) block[i] = 'x';
  ::HeapFree(heap, 0, const_cast<char*>(block));
  ::HeapFree(heap, 0, next);
  return 0;
}
