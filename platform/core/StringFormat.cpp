// The printf engine behind CString::Format and CStringA::Format, with the Windows rules:
// in a wide format %s and %c take wide arguments and %S and %C narrow ones (the other way round in
// a narrow format); h and l force narrow and wide; l on an integer is 32 bits (a Win32 LONG);
// I64, ll and I take 64-bit and pointer-sized integers. Numbers are always written as in the
// "C" locale, so a German process still writes 1.5 and never 1,5.

#include "platform/core/CString.h"
#include "platform/core/codepage.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <locale.h>
#include <string>

namespace {

locale_t ClassicLocale() {
  static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

enum class Size { Default, Char, Short, Long32, Long64, Pointer, LongDouble };

struct Spec {
  std::string flags;
  int width = -1;
  int precision = -1;
  Size size = Size::Default;
  bool forceNarrow = false;  // h
  bool forceWide = false;    // l or w
  char conversion = 0;
};

// Runs snprintf into a string as long as the text needs, under the classic locale of this thread.
template <class Value>
std::string PrintNumber(const std::string& fmt, Value value) {
  const locale_t previous = uselocale(ClassicLocale());
  std::string text(64, '\0');
  int written = std::snprintf(text.data(), text.size(), fmt.c_str(), value);
  if (written >= static_cast<int>(text.size())) {
    text.resize(static_cast<size_t>(written) + 1);
    written = std::snprintf(text.data(), text.size(), fmt.c_str(), value);
  }
  uselocale(previous);
  text.resize(written < 0 ? 0 : static_cast<size_t>(written));
  return text;
}

// Formats one numeric argument with the C library; the text is as long as the format makes it.
std::string FormatNumber(const Spec& spec, va_list& args) {
  std::string fmt = "%" + spec.flags;
  if (spec.width >= 0) fmt += std::to_string(spec.width);
  if (spec.precision >= 0) fmt += "." + std::to_string(spec.precision);
  const char conv = spec.conversion;
  if (conv == 'p') return PrintNumber(fmt + "p", va_arg(args, void*));
  if (conv == 'f' || conv == 'F' || conv == 'e' || conv == 'E' || conv == 'g' || conv == 'G' || conv == 'a' ||
      conv == 'A') {
    if (spec.size == Size::LongDouble) return PrintNumber(fmt + "L" + conv, va_arg(args, long double));
    return PrintNumber(fmt + conv, va_arg(args, double));
  }
  const bool isSigned = conv == 'd' || conv == 'i';
  fmt += "ll";
  fmt += conv;
  long long value = 0;
  switch (spec.size) {
    case Size::Long64:
      value = va_arg(args, long long);
      break;
    case Size::Pointer:
      value = static_cast<long long>(va_arg(args, intptr_t));
      break;
    default: {
      const int raw = va_arg(args, int);
      if (spec.size == Size::Char)
        value = isSigned ? static_cast<signed char>(raw) : static_cast<unsigned char>(raw);
      else if (spec.size == Size::Short)
        value = isSigned ? static_cast<short>(raw) : static_cast<unsigned short>(raw);
      else
        value = isSigned ? raw : static_cast<long long>(static_cast<unsigned int>(raw));
    }
  }
  return isSigned ? PrintNumber(fmt, value) : PrintNumber(fmt, static_cast<unsigned long long>(value));
}

// Widths and precisions are held to this, so that a damaged format cannot ask for a text of
// gigabytes or overflow while its digits are read.
constexpr int kMaxFieldSize = 0x10000;

int FieldSize(long long value) { return static_cast<int>(std::min<long long>(value, kMaxFieldSize)); }

// Reads the digits at p (there may be none: 0) and moves p past them.
template <class Char>
int ReadFieldSize(const Char*& p) {
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) value = std::min<long long>(value * 10 + (*p - '0'), kMaxFieldSize);
  return FieldSize(value);
}

template <class Char>
void Pad(std::basic_string<Char>& out, std::basic_string_view<Char> text, const Spec& spec) {
  const int padding = spec.width > static_cast<int>(text.size()) ? spec.width - static_cast<int>(text.size()) : 0;
  const bool left = spec.flags.find('-') != std::string::npos;
  const Char fill = (!left && spec.flags.find('0') != std::string::npos) ? Char('0') : Char(' ');
  if (!left) out.append(static_cast<size_t>(padding), fill);
  out.append(text);
  if (left) out.append(static_cast<size_t>(padding), Char(' '));
}

std::u16string ToUnits(std::u16string_view text, char16_t) { return std::u16string(text); }
std::u16string ToUnits(std::string_view text, char16_t) { return AnsiToWide(text); }
std::string ToUnits(std::u16string_view text, char) { return WideToAnsi(text); }
std::string ToUnits(std::string_view text, char) { return std::string(text); }

template <class Char>
std::basic_string<Char> FormatWith(const Char* format, va_list args) {
  std::basic_string<Char> out;
  if (!format) return out;
  constexpr bool wideFormat = sizeof(Char) == 2;
  va_list ap;
  va_copy(ap, args);
  for (const Char* p = format; *p;) {
    if (*p != '%') {
      out.push_back(*p++);
      continue;
    }
    const Char* start = p++;
    if (*p == '%') {
      out.push_back(*p++);
      continue;
    }
    Spec spec;
    while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') spec.flags.push_back(static_cast<char>(*p++));
    if (*p == '*') {
      const int width = va_arg(ap, int);
      if (width < 0) spec.flags.push_back('-');
      spec.width = FieldSize(width < 0 ? -static_cast<long long>(width) : width);
      ++p;
    } else {
      spec.width = *p >= '0' && *p <= '9' ? ReadFieldSize(p) : -1;
    }
    if (*p == '.') {
      ++p;
      if (*p == '*') {
        const int precision = va_arg(ap, int);
        spec.precision = precision < 0 ? -1 : FieldSize(precision);
        ++p;
      } else {
        spec.precision = ReadFieldSize(p);
      }
    }
    // Size prefixes.
    if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
      spec.size = Size::Long64, p += 3;
    } else if (p[0] == 'I' && p[1] == '3' && p[2] == '2') {
      spec.size = Size::Long32, p += 3;
    } else if (p[0] == 'I') {
      spec.size = Size::Pointer, ++p;
    } else if (p[0] == 'h' && p[1] == 'h') {
      spec.size = Size::Char, spec.forceNarrow = true, p += 2;
    } else if (p[0] == 'h') {
      spec.size = Size::Short, spec.forceNarrow = true, ++p;
    } else if (p[0] == 'l' && p[1] == 'l') {
      spec.size = Size::Long64, p += 2;
    } else if (p[0] == 'l' || p[0] == 'w') {
      spec.size = Size::Long32, spec.forceWide = true, ++p;
    } else if (p[0] == 'L') {
      spec.size = Size::LongDouble, ++p;
    } else if (p[0] == 'z' || p[0] == 't' || p[0] == 'j') {
      spec.size = p[0] == 'j' ? Size::Long64 : Size::Pointer, ++p;
    }
    spec.conversion = static_cast<char>(*p);
    if (!*p) {  // a format that ends inside a specification is written as it stands
      out.append(start, p);
      break;
    }
    ++p;
    switch (spec.conversion) {
      case 'd': case 'i': case 'u': case 'o': case 'x': case 'X': case 'p':
      case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A': {
        const std::string number = FormatNumber(spec, ap);
        for (char c : number) out.push_back(static_cast<Char>(static_cast<unsigned char>(c)));
        break;
      }
      case 's': case 'S': {
        // In a wide format %s is wide and %S narrow; in a narrow format the other way round.
        bool wideArg = (spec.conversion == 's') == wideFormat;
        if (spec.forceNarrow) wideArg = false;
        if (spec.forceWide) wideArg = true;
        std::basic_string<Char> text;
        if (wideArg) {
          const char16_t* s = va_arg(ap, const char16_t*);
          text = ToUnits(s ? std::u16string_view(s) : std::u16string_view(u"(null)"), Char());
        } else {
          const char* s = va_arg(ap, const char*);
          text = ToUnits(s ? std::string_view(s) : std::string_view("(null)"), Char());
        }
        if (spec.precision >= 0 && static_cast<size_t>(spec.precision) < text.size()) text.resize(static_cast<size_t>(spec.precision));
        Pad<Char>(out, text, spec);
        break;
      }
      case 'c': case 'C': {
        bool wideArg = (spec.conversion == 'c') == wideFormat;
        if (spec.forceNarrow) wideArg = false;
        if (spec.forceWide) wideArg = true;
        const int raw = va_arg(ap, int);
        std::basic_string<Char> text =
            wideArg ? ToUnits(std::u16string_view(std::u16string(1, static_cast<char16_t>(raw))), Char())
                    : ToUnits(std::string_view(std::string(1, static_cast<char>(raw))), Char());
        Pad<Char>(out, text, spec);
        break;
      }
      case 'n':  // never written through: a format must not write into memory
        (void)va_arg(ap, void*);
        break;
      default:  // an unknown conversion is copied as it stands
        out.append(start, p);
        break;
    }
  }
  va_end(ap);
  return out;
}

}  // namespace

void CString::FormatV(LPCWSTR format, va_list args) { *this = CString(FormatWith<char16_t>(format, args)); }

void CString::Format(LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormatV(LPCWSTR format, va_list args) { *this += CString(FormatWith<char16_t>(format, args)); }

void CString::AppendFormat(LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatV(format, args);
  va_end(args);
}

void CStringA::FormatV(LPCSTR format, va_list args) { m_text = FormatWith<char>(format, args); }

void CStringA::Format(LPCSTR format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}
