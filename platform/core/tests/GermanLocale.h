#pragma once
// Switches the process to a German number locale (decimal comma, dot for thousands) for one test,
// where the machine has one, so that tests show numbers do not follow the locale.

#include <clocale>

class GermanLocale {
public:
  GermanLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
      if (std::setlocale(LC_ALL, name)) {
        m_active = true;
        break;
      }
    }
  }
  ~GermanLocale() { std::setlocale(LC_ALL, "C"); }
  GermanLocale(const GermanLocale&) = delete;
  GermanLocale& operator=(const GermanLocale&) = delete;
  bool Active() const { return m_active; }

private:
  bool m_active = false;
};
