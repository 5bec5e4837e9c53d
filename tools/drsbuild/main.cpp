// drsbuild: writes a module's language file from its text sources.
//
//   drsbuild [--complete] [--depfile FILE] -o OUTPUT.drs SOURCE...
//
// Languages appear in the file in the order their first source is named. --complete refuses
// languages that lack keys another language has. --depfile writes every file read (sources,
// images, data files) as a make rule, so that the build reruns the tool when any of them changes.

#include "tools/drsbuild/DrsWriter.h"
#include "tools/drsbuild/LanguageCatalog.h"
#include "tools/drsbuild/SourceError.h"

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

int Usage() {
  std::cerr << "usage: drsbuild [--complete] [--depfile FILE] -o OUTPUT.drs SOURCE...\n";
  return 2;
}

// Make's rule syntax: blanks and '#' in names are escaped.
std::string MakeName(const std::filesystem::path& path) {
  std::string escaped;
  for (char c : path.string()) {
    if (c == ' ' || c == '#' || c == '\\') escaped += '\\';
    if (c == '$') escaped += '$';
    escaped += c;
  }
  return escaped;
}

void WriteDepfile(const std::filesystem::path& depfile, const std::filesystem::path& output,
                  const std::vector<std::filesystem::path>& inputs) {
  std::ofstream out(depfile, std::ios::trunc);
  out << MakeName(output) << ":";
  for (const std::filesystem::path& input : inputs) out << " \\\n  " << MakeName(input);
  out << "\n";
  if (!out) throw drsbuild::SourceError(depfile.string() + ": cannot be written");
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path output, depfile;
  std::vector<std::filesystem::path> sources;
  bool complete = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--complete") complete = true;
    else if (arg == "-o" && i + 1 < argc) output = argv[++i];
    else if (arg == "--depfile" && i + 1 < argc) depfile = argv[++i];
    else if (!arg.empty() && arg[0] == '-') return Usage();
    else sources.emplace_back(arg);
  }
  if (output.empty() || sources.empty()) return Usage();

  try {
    drsbuild::LanguageCatalog catalog;
    for (const std::filesystem::path& source : sources) catalog.AddSource(source);
    if (complete) catalog.RequireSameKeys();
    drsbuild::DrsWriter::Save(drsbuild::DrsWriter::Build(catalog), output);
    if (!depfile.empty()) WriteDepfile(depfile, output, catalog.Inputs());
  } catch (const std::exception& e) {  // mistakes in the sources, and files that cannot be written
    std::cerr << "drsbuild: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
