#include <cstdio>

int main() {
  std::fputs("OrbelMain: the kernel and its libraries are built, but the viewer's windows are not built "
             "yet, so there is nothing to show.\n",
             stderr);
  return 1;
}
