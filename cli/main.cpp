#include <cstdio>

int main() {
  std::puts("velmora-cli: no commands yet.");
  return 0;
}
