#pragma once
// Helpers of the browser's tests: a published batch with one document whose pages are real
// stored images, each marked so that a test can tell which page it sees and which way it is
// turned, and the store opened on it with that document found.

#include "foundation/imaging/CQVBitmapHandle.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/tests/BatchFixture.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The viewer's language file, in English, for the texts the windows look up.
void UseViewerLanguage();

// While it lives, message boxes are not shown: their texts are kept, in order, and each is
// answered with OK.
class RecordedBoxes {
public:
  RecordedBoxes();
  ~RecordedBoxes();
  RecordedBoxes(const RecordedBoxes&) = delete;
  RecordedBoxes& operator=(const RecordedBoxes&) = delete;
  std::vector<CString> texts;
};

// A white 1-bit page with a black block in its top-left corner, 4 x page pixels wide and 4 high,
// so that the block tells the page and where the page's top-left corner went.
void MakeMarkedPage(CQVBitmapHandle& page, int width, int height, int number);
// The same page written as a stored image (Group 4).
void WriteMarkedPage(const std::filesystem::path& path, int width, int height, int number);

// One batch "Pages" at <folder>/batch with document 00012345, whose image folder is DATA/5/34.
struct OneDocument {
  // `pages` good pages 001... of width x height; `extra` names of further files in the image
  // folder with their bytes, written after the pages.
  explicit OneDocument(int pages, int width = 64, int height = 32,
                       std::vector<std::pair<std::string, std::string>> extra = {});
  std::filesystem::path ImageFolder() const;
  TempFolder folder;
  CIBSPlant plant;
  CIBSDocument* document { nullptr };
};
