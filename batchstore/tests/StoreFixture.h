#pragma once
// A batch store in a temporary folder for the tests: a job root with the batch "B1", trees of
// documents, pages and images built from a compact description, and snapshots of the batch's
// files to compare before and after.

#include "batchstore/CQVBDEFS.h"
#include "IdItems.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// A document: its pages, each with its image IDs.
using PageImages = std::map<ULONG, std::vector<ULONG>>;
using BatchTree = std::map<ULONG, PageImages>;

inline std::string IdName(ULONG id) {
  char text[16];
  std::snprintf(text, sizeof text, "%08u", static_cast<unsigned>(id));
  return text;
}

class StoreFixture : public ::testing::Test {
protected:
  StoreFixture() {
    m_folder.MakeFolder("B1");
    m_store.GetHelper().SetJobRootDir(m_folder.Wide());
    m_store.GetHelper().SetActiveBatch(u"B1");
  }

  std::string Batch(const std::string& relative = "") const { return relative.empty() ? "B1" : "B1/" + relative; }

  // Every image gets a ".tif" and a ".thumb" whose contents name the place it was made at, so
  // that each image's files can be followed through renames.
  void Build(const BatchTree& tree) {
    for (const auto& [document, pages] : tree) {
      m_folder.MakeFolder(Batch(IdName(document)));
      for (const auto& [page, images] : pages) {
        std::string folder = Batch(IdName(document) + "/" + IdName(page));
        m_folder.MakeFolder(folder);
        for (ULONG image : images) {
          std::string content = "image " + std::to_string(document) + "." + std::to_string(page) + "." + std::to_string(image);
          m_folder.Write(folder + "/" + IdName(image) + ".tif", content);
          m_folder.Write(folder + "/" + IdName(image) + ".thumb", "thumb of " + content);
        }
      }
    }
  }

  // The batch as the disk holds it: the tree of ID-named folders and image entries, every image
  // given by the content of its ".tif".
  std::map<std::string, std::string> Images() const {
    std::map<std::string, std::string> images;
    for (const std::string& document : m_folder.Names(Batch())) {
      if (document.size() != 8 || !std::filesystem::is_directory(std::filesystem::symlink_status(m_folder.Native(Batch(document))))) continue;
      images[document] = "";
      for (const std::string& page : m_folder.Names(Batch(document))) {
        if (page.size() != 8) continue;
        images[document + "/" + page] = "";
        for (const std::string& file : m_folder.Names(Batch(document + "/" + page)))
          images[document + "/" + page + "/" + file] = m_folder.Read(Batch(document + "/" + page + "/" + file));
      }
    }
    return images;
  }

  // The contents of every image in the batch, sorted: the same before and after any move.
  std::multiset<std::string> Contents() const {
    std::multiset<std::string> contents;
    for (const auto& [path, content] : Images())
      if (path.size() > 4 && (path.ends_with(".tif") || path.ends_with(".thumb"))) contents.insert(content);
    return contents;
  }

  std::vector<ULONG> Documents() {
    CQVBDEIDList list;
    EXPECT_TRUE(m_store.GetDocumentList(list));
    return IdItems(list);
  }
  std::vector<ULONG> Pages(ULONG document) {
    CQVBDEIDList list;
    EXPECT_TRUE(m_store.GetPageList(document, list));
    return IdItems(list);
  }
  std::vector<ULONG> ImagesOf(ULONG document, ULONG page) {
    CQVBDEIDList list;
    EXPECT_TRUE(m_store.GetImageList(document, page, list));
    return IdItems(list);
  }
  // The content of an image's ".tif", empty when there is none.
  std::string ImageAt(ULONG document, ULONG page, ULONG image) const {
    return m_folder.Read(Batch(IdName(document) + "/" + IdName(page) + "/" + IdName(image) + ".tif"));
  }
  static std::string Made(ULONG document, ULONG page, ULONG image) {
    return "image " + std::to_string(document) + "." + std::to_string(page) + "." + std::to_string(image);
  }

  TestFolder m_folder;
  CQVBDEFS m_store;
};
