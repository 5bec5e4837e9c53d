#include "foundation/imaging/CQVPDFWriter.h"

#include "foundation/imaging/CQVTiffFile.h"
#include "foundation/imaging/tests/ImagingTestSupport.h"
#include "platform/core/tests/TestFolder.h"
#include "platform/imaging/Bitmap.h"

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <sstream>

using namespace qvtest;

namespace {

std::string Text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool QpdfCheck(const std::string& path, std::string* report = nullptr) {
  const std::string text = Output("qpdf --check " + Quote(path) + "; echo status=$?");
  if (report) *report = text;
  return text.find("status=0") != std::string::npos && text.find("No syntax or stream encoding errors") != std::string::npos;
}

bool Decode(const std::string& name, imaging::Bitmap& bitmap, int page = 0) {
  CQVTiffFile tiff;
  tiff.SetFileForOperation(CString(Wide(TestFile(name)).c_str()));
  return tiff.DecodeTif(static_cast<WORD>(page), bitmap);
}

// The outline as python reads it from qpdf's JSON: one line per item, "depth|title|target page".
std::string Outline(const std::string& path) {
  const std::string script =
      "import json,sys\n"
      "d=json.load(sys.stdin)\n"
      "def walk(items,depth):\n"
      "  for i in items:\n"
      "    print('%d|%s|%s' % (depth, i['title'], i['destpageposfrom1']))\n"
      "    walk(i['kids'],depth+1)\n"
      "walk(d['outlines'],0)\n";
  std::ofstream(path + ".py") << script;
  return Output("qpdf --json --json-key=outlines " + Quote(path) + " | python3 " + Quote(path + ".py"));
}

TEST(CQVPDFWriterTest, GroupFourPagesRenderWithTheSourcePixelsAndTheirPhysicalSize) {
  TempDir dir;
  const std::string pdf = dir.Path("g4.pdf");
  struct Page {
    const char* name;
    const char* size;  // as pdfinfo shows it
  };
  const Page pages[] = { { "CCITT_1.TIF", "622.08 x 855.36 pts" }, { "fax2d.tif", "609.88 x 794.94 pts" },
                         { "bitonal.tif", "615.6 x 255.24 pts" } };
  std::vector<Picture> sources;
  {
    CQVPDFWriter writer(CString(Wide(pdf).c_str()));
    for (const Page& p : pages) {
      imaging::Bitmap bitmap;
      ASSERT_TRUE(Decode(p.name, bitmap));
      sources.push_back(PictureOf(bitmap));
      ASSERT_TRUE(writer._AddImage(bitmap));
      EXPECT_FALSE(bitmap.IsAllocated());
    }
    ASSERT_TRUE(writer.Finish());
  }
  std::string report;
  EXPECT_TRUE(QpdfCheck(pdf, &report)) << report;
  const std::string list = Output("pdfimages -list " + Quote(pdf));
  EXPECT_EQ(3, std::count(list.begin(), list.end(), '\n') - 2) << list;
  size_t ccitt = 0;
  for (size_t at = 0; (at = list.find("ccitt", at)) != std::string::npos; ++at) ++ccitt;
  EXPECT_EQ(ccitt, 3u) << list;
  const std::string info = Output("pdfinfo -f 1 -l 3 " + Quote(pdf));
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(pages[i].name);
    EXPECT_NE(info.find(pages[i].size), std::string::npos) << info;
    // The image poppler decodes from the page is the source, pixel for pixel; rendered at the
    // page's own size the page shows it (poppler's 1-bit scaler moves a few edge pixels).
    const std::string out = dir.Path("page");
    ASSERT_TRUE(Shell("pdfimages -png -f " + std::to_string(i + 1) + " -l " + std::to_string(i + 1) + " " + Quote(pdf) +
                      " " + Quote(out) + " && convert " + Quote(out + "-000.png") + " " + Quote(out + ".pgm")));
    Picture embedded, rendered;
    ASSERT_TRUE(ReadPnm(out + ".pgm", embedded));
    EXPECT_EQ(MaxDifference(embedded, sources[i]), 0);
    ASSERT_TRUE(Shell("pdftoppm -gray -f " + std::to_string(i + 1) + " -l " + std::to_string(i + 1) + " -scale-to-x " +
                      std::to_string(sources[i].width) + " -scale-to-y " + std::to_string(sources[i].height) +
                      " -singlefile " + Quote(pdf) + " " + Quote(out)));
    ASSERT_TRUE(ReadPnm(out + ".pgm", rendered));
    EXPECT_LT(MeanDifference(rendered, sources[i]), 8.0);
  }
}

TEST(CQVPDFWriterTest, GreyColourAndPalettePagesAreJpegImages) {
  TempDir dir;
  const std::string pdf = dir.Path("jpeg.pdf");
  const char* names[] = { "quad-jpeg.tif", "cramps.tif", "jello.tif" };
  std::vector<Picture> sources;
  {
    CQVPDFWriter writer(CString(Wide(pdf).c_str()));
    for (const char* name : names) {
      imaging::Bitmap bitmap;
      ASSERT_TRUE(Decode(name, bitmap));
      bitmap.xResolution = bitmap.yResolution = 72;
      sources.push_back(PictureOf(bitmap));
      ASSERT_TRUE(writer._AddImage(bitmap));
    }
  }
  std::string report;
  EXPECT_TRUE(QpdfCheck(pdf, &report)) << report;
  const std::string list = Output("pdfimages -list " + Quote(pdf));
  EXPECT_NE(list.find("rgb     3   8  jpeg"), std::string::npos) << list;
  EXPECT_NE(list.find("gray    1   8  jpeg"), std::string::npos) << list;
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    const std::string out = dir.Path("page");
    ASSERT_TRUE(Shell("pdfimages -png -f " + std::to_string(i + 1) + " -l " + std::to_string(i + 1) + " " + Quote(pdf) +
                      " " + Quote(out) + " && convert " + Quote(out + "-000.png") + " -type TrueColor ppm:" +
                      Quote(out + ".ppm")));
    Picture embedded;
    ASSERT_TRUE(ReadPnm(out + ".ppm", embedded));
    // The palette picture is saturated colour, where JPEG's halved chroma costs most.
    EXPECT_LT(MeanDifference(embedded, sources[i]), i == 2 ? 30.0 : 3.0);
  }
}

struct Titled {
  int documents, pagesPerDocument, imagesPerPage;
};

// Titles with parentheses, backslashes and text beyond ASCII read back as they were given, in
// the outline's order, each image entry opening its own page.
TEST(CQVPDFWriterTest, OutlineTitlesAndTargetsReadBack) {
  TempDir dir;
  const std::string pdf = dir.Path("outline.pdf");
  BYTE* data = nullptr;
  DWORD size = 0;
  int w = 0, h = 0, x = 0, y = 0;
  {
    // Our own copy of a page, so that its Group 4 data can be read out.
    CQVTiffFile copy;
    copy.SetFileForOperation(CString(Wide(dir.Path("own.tif")).c_str()));
    imaging::Bitmap bitmap;
    ASSERT_TRUE(Decode("bitonal.tif", bitmap));
    ASSERT_TRUE(copy.EncodeTif(0, bitmap, nullptr, nullptr, 4));
    ASSERT_TRUE(copy.ReadFaxG4Clump(0, data, size, w, h, x, y));
  }
  {
    CQVPDFWriter writer(CString(Wide(pdf).c_str()));
    ASSERT_TRUE(writer.AddDoc(u"Akte (1) \\ Müller 漢字"));
    ASSERT_TRUE(writer.AddPage("Seite (a"));
    ASSERT_TRUE(writer.AddImage(w, h, x, 1, CQVPDFWriter::CCITTFaxDecode, static_cast<int>(size), data, "Bild 1)"));
    ASSERT_TRUE(writer.AddPage(u"Seite ä"));
    ASSERT_TRUE(writer.AddImage(w, h, x, 1, CQVPDFWriter::CCITTFaxDecode, static_cast<int>(size), data, "Bild 2"));
    ASSERT_TRUE(writer.AddDoc("plain"));
    ASSERT_TRUE(writer.AddPage("\xC4rger"));  // not UTF-8: taken as the ANSI code page
  }
  std::free(data);
  std::string report;
  EXPECT_TRUE(QpdfCheck(pdf, &report)) << report;
  EXPECT_EQ(Outline(pdf),
            "0|Akte (1) \\ Müller 漢字|None\n1|Seite (a|None\n2|Bild 1)|1\n1|Seite ä|None\n2|Bild 2|2\n"
            "0|plain|None\n1|Ärger|None\n");
  // Object numbers: root R = 14, the document items follow depth-first.
  const std::string text = Text(pdf);
  EXPECT_NE(text.find("15 0 obj\n<< /Title "), std::string::npos);
  EXPECT_NE(text.find("/First 16 0 R\n/Last 18 0 R \n/Count 4\n"), std::string::npos);
  EXPECT_NE(text.find("/Dest [4 0 R /Fit]"), std::string::npos);
  EXPECT_NE(text.find("/Dest [9 0 R /Fit]"), std::string::npos);
  EXPECT_NE(text.find("/Size 22\n"), std::string::npos);
}

TEST(CQVPDFWriterTest, ObjectLayoutOfPagesWithoutOutline) {
  TempDir dir;
  const std::string pdf = dir.Path("plain.pdf");
  std::vector<BYTE> jpeg(100, 0);
  {
    CQVPDFWriter writer(CString(Wide(pdf).c_str()));
    ASSERT_TRUE(writer._AddImage(2550, 3300, 300, 24, CQVPDFWriter::DCTDecode, 100, jpeg.data()));
    ASSERT_TRUE(writer._AddImage(100, 50, 72, 8, CQVPDFWriter::DCTDecode, 100, jpeg.data()));
    // Refused before anything is written.
    const ULONGLONG before = writer.GetLength();
    EXPECT_FALSE(writer._AddImage(100, 50, 0, 8, CQVPDFWriter::DCTDecode, 100, jpeg.data()));
    EXPECT_FALSE(writer._AddImage(100, 50, 72, 4, CQVPDFWriter::DCTDecode, 100, jpeg.data()));
    EXPECT_FALSE(writer._AddImage(100, 50, 72, 1, CQVPDFWriter::DCTDecode, 100, jpeg.data()));
    EXPECT_FALSE(writer.AddPage("no document"));
    EXPECT_FALSE(writer.AddImage(100, 50, 72, 8, CQVPDFWriter::DCTDecode, 100, jpeg.data(), "no page"));
    imaging::Bitmap bitmap;
    ASSERT_TRUE(imaging::Create(bitmap, 10, 10, 8));
    EXPECT_FALSE(writer.AddImage(bitmap, u"no page"));
    EXPECT_FALSE(bitmap.IsAllocated());
    EXPECT_EQ(writer.GetLength(), before);
  }
  const std::string text = Text(pdf);
  EXPECT_EQ(text.rfind("%PDF-1.4\n", 0), 0u);
  EXPECT_NE(text.find("4 0 obj\n<</Type /Page\n/Parent 3 0 R\n/Resources<</XObject<</Im0 7 0 R>>\n"
                      "/ProcSet [ /PDF /ImageC ]>>\n/MediaBox [ 0 0 612 792 ]\n/Contents 5 0 R\n>>\nendobj\n"),
            std::string::npos);
  EXPECT_NE(text.find("5 0 obj\n<</Length 6 0 R>>\nstream\n612 0 0 792 0 0 cm\n/Im0 Do\nendstream\nendobj\n"
                      "6 0 obj\n26\nendobj\n"),
            std::string::npos);
  EXPECT_NE(text.find("9 0 obj\n<</Type /Page"), std::string::npos);
  EXPECT_NE(text.find("/MediaBox [ 0 0 100 50 ]"), std::string::npos);
  EXPECT_NE(text.find("2 0 obj\n<</Type /Catalog\n/Pages 3 0 R\n/Outlines 14 0 R\n>>"), std::string::npos);
  EXPECT_NE(text.find("14 0 obj\n<< /Type /Outlines\n/Count 0\n>>"), std::string::npos);
  EXPECT_NE(text.find("/Size 15\n/Root 2 0 R\n/Info 1 0 R\n>>\nstartxref\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 6), "\n%%EOF");
  // Every offset of the table points at its object.
  const size_t xref = text.find("xref\n0 15\n");
  ASSERT_NE(xref, std::string::npos);
  for (int object = 1; object < 15; ++object) {
    const size_t offset = std::stoull(text.substr(xref + 10 + 20 * object, 10));
    EXPECT_EQ(text.compare(offset, std::to_string(object).size() + 6, std::to_string(object) + " 0 obj"), 0) << object;
  }
}

// Sizes in points keep their decimals whatever the process locale writes as a separator, and a
// page is never less than one point wide.
TEST(CQVPDFWriterTest, PageSizesAreWrittenWithoutTheLocale) {
  TempDir dir;
  const std::string pdf = dir.Path("sizes.pdf");
  std::vector<BYTE> jpeg(10, 0);
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  {
    CQVPDFWriter writer(CString(Wide(pdf).c_str()));
    ASSERT_TRUE(writer._AddImage(1728, 1082, 204, 98, 8, CQVPDFWriter::DCTDecode, 10, jpeg.data()));
    ASSERT_TRUE(writer._AddImage(3, 3, 300, 300, 8, CQVPDFWriter::DCTDecode, 10, jpeg.data()));
    ASSERT_TRUE(writer._AddImage(101, 101, 200, 200, 8, CQVPDFWriter::DCTDecode, 10, jpeg.data()));
  }
  std::setlocale(LC_ALL, saved.c_str());
  const std::string text = Text(pdf);
  EXPECT_NE(text.find("/MediaBox [ 0 0 609.88 794.94 ]"), std::string::npos);
  EXPECT_NE(text.find("609.88 0 0 794.94 0 0 cm\n"), std::string::npos);
  EXPECT_NE(text.find("/MediaBox [ 0 0 1 1 ]"), std::string::npos);
  EXPECT_NE(text.find("/MediaBox [ 0 0 36.36 36.36 ]"), std::string::npos);
}

TEST(CQVPDFWriterTest, AFileThatCannotBeFinishedIsRemovedAndReported) {
  TestFolder folder;
  const std::string pdf = folder.Native("cut.pdf");
  std::vector<BYTE> jpeg(20000, 0x55);
  {
    CQVPDFWriter writer(folder.Wide("cut.pdf").GetString());
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(writer._AddImage(100, 100, 100, 8, CQVPDFWriter::DCTDecode, 20000, jpeg.data()));
    FileSizeLimit limit(writer.GetLength() + 200);
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(writer.AddDoc("a document title that takes room"));
    EXPECT_FALSE(writer.Finish());
  }
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_THROW(
      {
        try {
          CQVPDFWriter writer(folder.Wide("missing/x.pdf").GetString());
        } catch (CFileException* e) {
          e->Delete();
          throw 1;
        }
      },
      int);
}

}  // namespace
