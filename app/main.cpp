#include <cstdio>

int main() {
  std::puts("Velmora: the window is not built yet.");
  return 0;
}
