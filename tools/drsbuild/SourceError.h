#pragma once
// A mistake in a language source or in a file it names. The message names the place
// ("res/QVKERNEL.de-de.lang:12: ...") so that the build log points at the line to mend.

#include <stdexcept>
#include <string>

namespace drsbuild {

class SourceError : public std::runtime_error {
public:
  explicit SourceError(const std::string& message) : std::runtime_error(message) {}
  SourceError(const std::string& place, int line, const std::string& message)
      : std::runtime_error(place + ":" + std::to_string(line) + ": " + message) {}
};

}  // namespace drsbuild
