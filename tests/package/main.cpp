// Links against the installed library and prints its version.
#include <ledrix/ledrix.h>

#include <cstdio>

int main() {
  ledrix::Date d(1, 15, 5);
  char text[16];
  d.Format(text, 1);
  std::printf("%s %s\n", ledrix::VersionText(), text);
  return 0;
}
