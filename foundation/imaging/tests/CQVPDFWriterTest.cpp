#include "foundation/imaging/CQVPDFWriter.h"

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVTiffFile.h"
#include "foundation/imaging/tests/ImagingTestSupport.h"
#include "platform/core/globalmem.h"
#include "platform/core/tests/TestFolder.h"
#include "platform/imaging/File.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
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

bool Decode(const std::string& name, CQVBitmapHandle& bitmap, int page = 0) {
  CQVTiffFile tiff;
  tiff.SetFileForOperation(CString(Wide(TestFile(name)).c_str()));
  return tiff.DecodeTif(static_cast<WORD>(page), bitmap);
}

std::vector<BYTE> BytesOf(HGLOBAL block) {
  const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(block));
  std::vector<BYTE> copy(bytes, bytes + GlobalSize(block));
  GlobalUnlock(block);
  GlobalFree(block);
  return copy;
}

// A JPEG stream of a picture in grey (8 bits) or colour (24), as the PDF writer's ready-data pages
// take it, and the picture it was made from at that depth.
std::vector<BYTE> JpegOf(const Picture& picture, int bitsPerPixel, Picture& shown) {
  imaging::Bitmap bitmap;
  HGLOBAL block = nullptr;
  DWORD size = 0;
  if (!BitmapOf(picture, bitsPerPixel, bitmap) || !imaging::SaveMemory(bitmap, imaging::kFormatJpeg, 0, 10, &block, &size)) {
    return {};
  }
  shown = PictureOf(bitmap);
  return BytesOf(block);
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

// What one page of a PDF is to show.
struct ExpectedPage {
  Picture picture;  // the source image
  int xDpi { 0 };
  int yDpi { 0 };
  std::string encoding { "ccitt" };  // as pdfimages names it
  double tolerance { 0 };            // mean difference allowed from the source; 0: none at all
  bool rendered { true };            // false for a page larger than its image (never below a point)
};

ExpectedPage Page(const Picture& picture, int xDpi, int yDpi, const char* encoding = "ccitt", double tolerance = 0) {
  return ExpectedPage { picture, xDpi, yDpi, encoding, tolerance, true };
}

// Rows of pdfimages -list: page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio.
std::vector<std::vector<std::string>> ImageList(const std::string& pdf) {
  std::istringstream text(Output("pdfimages -list " + Quote(pdf)));
  std::vector<std::vector<std::string>> rows;
  std::string line;
  for (int header = 0; header < 2 && std::getline(text, line); ++header) {
  }
  while (std::getline(text, line)) {
    std::istringstream fields(line);
    std::vector<std::string> row;
    for (std::string field; fields >> field;) row.push_back(field);
    if (row.size() >= 14) rows.push_back(row);
  }
  return rows;
}

// The image of one page as pdfimages writes it (PBM, PGM or PPM), read back.
bool EmbeddedImage(const std::string& pdf, int page, const TempDir& dir, Picture& picture) {
  const std::string prefix = dir.Path("embedded" + std::to_string(page));
  if (!Shell("pdfimages -f " + std::to_string(page) + " -l " + std::to_string(page) + " " + Quote(pdf) + " " + Quote(prefix))) {
    return false;
  }
  for (const char* kind : { ".pbm", ".pgm", ".ppm" }) {
    if (std::filesystem::exists(prefix + "-000" + kind)) return ReadPnm(prefix + "-000" + kind, picture);
  }
  return false;
}

// The checks every PDF of these tests passes. qpdf finds nothing wrong; pdfimages lists one image
// per page, with the page's size, encoding and resolution, and decodes it to the source picture
// (exactly for Group 4, within the tolerance for JPEG); pdftoppm, at the image's own resolution
// and without anti-aliasing, renders the page as exactly that image (rounding the page's exact
// size up may add a row or column of the blank page at the far edges).
void CheckPdf(const std::string& pdf, const std::vector<ExpectedPage>& pages, const TempDir& dir) {
  std::string report;
  EXPECT_TRUE(QpdfCheck(pdf, &report)) << report;
  const std::vector<std::vector<std::string>> images = ImageList(pdf);
  ASSERT_EQ(images.size(), pages.size()) << Output("pdfimages -list " + Quote(pdf));
  for (size_t i = 0; i < pages.size(); ++i) {
    const ExpectedPage& page = pages[i];
    const int number = static_cast<int>(i + 1);
    SCOPED_TRACE(testing::Message() << pdf << ", page " << number);
    const std::vector<std::string>& row = images[i];
    EXPECT_EQ(row[0], std::to_string(number));
    EXPECT_EQ(row[3], std::to_string(page.picture.width));
    EXPECT_EQ(row[4], std::to_string(page.picture.height));
    EXPECT_EQ(row[8], page.encoding);
    Picture embedded;
    ASSERT_TRUE(EmbeddedImage(pdf, number, dir, embedded));
    if (page.tolerance == 0) {
      EXPECT_EQ(MaxDifference(embedded, page.picture), 0);
    } else {
      EXPECT_LT(MeanDifference(embedded, page.picture), page.tolerance);
    }
    if (!page.rendered) continue;
    EXPECT_EQ(row[12], std::to_string(page.xDpi));
    EXPECT_EQ(row[13], std::to_string(page.yDpi));
    // Bilevel pages render in grey, where any resampling would show as grey levels.
    const std::string out = dir.Path("rendered");
    const bool grey = page.encoding == "ccitt";
    ASSERT_TRUE(Shell("pdftoppm -f " + std::to_string(number) + " -l " + std::to_string(number) + " -rx " +
                      std::to_string(page.xDpi) + " -ry " + std::to_string(page.yDpi) + " -aa no -aaVector no " +
                      (grey ? "-gray " : "") + "-singlefile " + Quote(pdf) + " " + Quote(out)));
    Picture rendered;
    ASSERT_TRUE(ReadPnm(out + (grey ? ".pgm" : ".ppm"), rendered));
    ASSERT_TRUE(rendered.width - embedded.width == 0 || rendered.width - embedded.width == 1) << rendered.width;
    ASSERT_TRUE(rendered.height - embedded.height == 0 || rendered.height - embedded.height == 1) << rendered.height;
    Picture drawn(embedded.width, embedded.height);
    for (int y = 0; y < drawn.height; ++y) std::memcpy(drawn.At(0, y), rendered.At(0, y), static_cast<size_t>(drawn.width) * 3);
    EXPECT_EQ(MaxDifference(drawn, embedded), 0);
  }
}

TEST(CQVPDFWriterTest, GroupFourPagesRenderWithTheSourcePixelsAndTheirPhysicalSize) {
  TempDir dir;
  const std::string pdf = dir.Path("g4.pdf");
  struct Source {
    const char* name;
    const char* size;  // as pdfinfo shows it
  };
  // A Group 4 page stored least significant bit first, a Group 3 fax page of unequal resolutions,
  // and a Group 4 page in many strips.
  const Source sources[] = { { "CCITT_1.TIF", "622.08 x 855.36 pts" }, { "fax2d.tif", "609.882 x 794.939 pts" },
                             { "bitonal.tif", "615.6 x 255.24 pts" } };
  std::vector<ExpectedPage> pages;
  {
    CQVPDFWriter writer(CString(Wide(pdf).c_str()));
    for (const Source& s : sources) {
      CQVBitmapHandle bitmap;
      ASSERT_TRUE(Decode(s.name, bitmap));
      pages.push_back(Page(PictureOf(bitmap), bitmap.GetXDPI(), bitmap.GetYDPI()));
      ASSERT_TRUE(writer._AddImage(bitmap));
      EXPECT_TRUE(bitmap.IsEmpty());
    }
    ASSERT_TRUE(writer.Finish());
  }
  CheckPdf(pdf, pages, dir);
  const std::string info = Output("pdfinfo -f 1 -l 3 " + Quote(pdf));
  for (const Source& s : sources) EXPECT_NE(info.find(s.size), std::string::npos) << s.name << "\n" << info;
}

// A page read from Group 4 data that nothing has changed since goes into the PDF as that data;
// any page changed, or stored in a form the PDF does not take as it is, is coded again. Either way
// the page shows the picture the bitmap holds.
TEST(CQVPDFWriterTest, PagesStillAsReadPassTheirGroupFourDataOn) {
  TempDir dir;
  struct Source {
    const char* name;
    const char* layout;  // tiffcp options of the copy tested; none: the file as its writer made it
    const char* change;  // tiffset options for the copy
    bool passed;         // its strip is the data the PDF takes
  };
  const Source sources[] = {
    { "G4.TIF", nullptr, nullptr, true },
    { "CCITT_1.TIF", nullptr, nullptr, true },  // least significant bit first: passed with its bits turned round
    { "bitonal.tif", nullptr, nullptr, false },  // many strips
    { "bitonal.tif", "-c g4 -r 100000", "-s 274 3", false },  // stored upside down
    { "bitonal.tif", "-c g4 -r 100000", "-s 262 1", false },  // set bits white
  };
  for (const Source& s : sources) {
    SCOPED_TRACE(testing::Message() << s.name << " " << (s.change ? s.change : ""));
    const std::string page = dir.Path("page.tif"), pdf = dir.Path("pages.pdf");
    std::remove(pdf.c_str());
    std::remove(page.c_str());
    if (s.layout) {
      ASSERT_TRUE(Shell(std::string("tiffcp ") + s.layout + " " + Quote(TestFile(s.name)) + " " + Quote(page) +
                        " && tiffset " + s.change + " " + Quote(page)));
    } else {
      ASSERT_TRUE(Shell("cp " + Quote(TestFile(s.name)) + " " + Quote(page) + " && chmod u+w " + Quote(page)));
    }
    const std::u16string path = Wide(page);
    CQVTiffFile tiff;
    tiff.SetFileForOperation(CString(path.c_str()));
    CQVBitmapHandle reference;
    ASSERT_TRUE(tiff.DecodeTif(0, reference));
    const Picture picture = PictureOf(reference);
    std::vector<BYTE> strip;
    {
      TIFF* tif = TIFFOpen(page.c_str(), "r");
      ASSERT_NE(tif, nullptr);
      strip.resize(static_cast<size_t>(TIFFRawStripSize(tif, 0)));
      ASSERT_EQ(TIFFReadRawStrip(tif, 0, strip.data(), static_cast<tmsize_t>(strip.size())),
                static_cast<tmsize_t>(strip.size()));
      uint16_t fillOrder = FILLORDER_MSB2LSB;
      TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &fillOrder);
      if (fillOrder == FILLORDER_LSB2MSB) TIFFReverseBits(strip.data(), static_cast<tmsize_t>(strip.size()));
      TIFFClose(tif);
    }
    // The data the writer codes from these pixels.
    CQVBitmapHandle copy;
    ASSERT_TRUE(copy.Create(reference));
    HGLOBAL block = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(copy.SaveMemory_FaxG4(&block, &size));
    const std::vector<BYTE> coded = BytesOf(block);
    ASSERT_NE(coded, strip) << "the test needs a strip that the writer would not write as it is";

    // Pages: loaded as a stored image (decoded only when needed), decoded, decoded and touched
    // (a pixel set to the colour it has), and decoded with one pixel changed.
    CQVBitmapHandle loaded, decoded, touched, changed;
    ASSERT_TRUE(CQVBDEImageFormat::LoadImage(path.c_str(), loaded, 1));
    ASSERT_TRUE(tiff.DecodeTif(0, decoded));
    ASSERT_TRUE(tiff.DecodeTif(0, touched));
    ASSERT_TRUE(tiff.DecodeTif(0, changed));
    EXPECT_EQ(loaded.HasFaxG4Source(), s.passed);
    EXPECT_EQ(decoded.HasFaxG4Source(), s.passed);
    COLORREF colour = 0;
    ASSERT_TRUE(touched.GetPixelColor(5, 5, colour));
    ASSERT_TRUE(touched.SetPixelColor(5, 5, colour));
    EXPECT_FALSE(touched.HasFaxG4Source());
    ASSERT_TRUE(changed.SetPixelColor(5, 5, colour ^ 1));
    const Picture changedPicture = PictureOf(changed);
    ASSERT_NE(MaxDifference(changedPicture, picture), 0);
    {
      CQVPDFWriter writer(CString(Wide(pdf).c_str()));
      for (CQVBitmapHandle* bitmap : { &loaded, &decoded, &touched, &changed }) ASSERT_TRUE(writer._AddImage(*bitmap));
      ASSERT_TRUE(writer.Finish());
    }
    const int dpi = reference.GetXDPI();
    CheckPdf(pdf, { Page(picture, dpi, dpi), Page(picture, dpi, dpi), Page(picture, dpi, dpi), Page(changedPicture, dpi, dpi) },
             dir);
    const std::string prefix = dir.Path("raw");
    ASSERT_TRUE(Shell("pdfimages -ccitt -l 3 " + Quote(pdf) + " " + Quote(prefix)));
    EXPECT_EQ(ReadAll(prefix + "-000.ccitt"), s.passed ? strip : coded);
    EXPECT_EQ(ReadAll(prefix + "-001.ccitt"), s.passed ? strip : coded);
    EXPECT_EQ(ReadAll(prefix + "-002.ccitt"), coded);
  }
}

TEST(CQVPDFWriterTest, GreyColourAndPalettePagesAreJpegImages) {
  TempDir dir;
  const std::string pdf = dir.Path("jpeg.pdf");
  struct Source {
    const char* name;
    const char* encoding;
    double tolerance;  // the palette picture is saturated colour, where JPEG's halved chroma costs most
  };
  const Source sources[] = { { "quad-jpeg.tif", "jpeg", 3.0 }, { "cramps.tif", "jpeg", 3.0 }, { "jello.tif", "jpeg", 30.0 } };
  std::vector<ExpectedPage> pages;
  {
    CQVPDFWriter writer(CString(Wide(pdf).c_str()));
    for (const Source& s : sources) {
      CQVBitmapHandle bitmap;
      ASSERT_TRUE(Decode(s.name, bitmap));
      bitmap.SetXDPI(72);
      bitmap.SetYDPI(72);
      pages.push_back(Page(PictureOf(bitmap), 72, 72, s.encoding, s.tolerance));
      ASSERT_TRUE(writer._AddImage(bitmap));
    }
  }
  CheckPdf(pdf, pages, dir);
  const std::string list = Output("pdfimages -list " + Quote(pdf));
  EXPECT_NE(list.find("rgb     3   8  jpeg"), std::string::npos) << list;
  EXPECT_NE(list.find("gray    1   8  jpeg"), std::string::npos) << list;
}

// Titles with parentheses, backslashes and text beyond ASCII read back as they were given, in
// the outline's order, each image entry opening its own page.
TEST(CQVPDFWriterTest, OutlineTitlesAndTargetsReadBack) {
  TempDir dir;
  const std::string pdf = dir.Path("outline.pdf");
  BYTE* data = nullptr;
  DWORD size = 0;
  int w = 0, h = 0, x = 0, y = 0;
  Picture picture;
  {
    // Our own copy of a page, so that its Group 4 data can be read out.
    CQVTiffFile copy;
    copy.SetFileForOperation(CString(Wide(dir.Path("own.tif")).c_str()));
    CQVBitmapHandle bitmap;
    ASSERT_TRUE(Decode("bitonal.tif", bitmap));
    picture = PictureOf(bitmap);
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
  CheckPdf(pdf, { Page(picture, x, x), Page(picture, x, x) }, dir);
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
  Picture letter, small;
  const std::vector<BYTE> letterJpeg = JpegOf(Pattern(2550, 3300), 24, letter);
  const std::vector<BYTE> smallJpeg = JpegOf(Pattern(100, 50), 8, small);
  ASSERT_FALSE(letterJpeg.empty());
  ASSERT_FALSE(smallJpeg.empty());
  std::vector<BYTE> data(smallJpeg);
  {
    CQVPDFWriter writer(CString(Wide(pdf).c_str()));
    ASSERT_TRUE(writer._AddImage(2550, 3300, 300, 24, CQVPDFWriter::DCTDecode, static_cast<int>(letterJpeg.size()),
                                 const_cast<BYTE*>(letterJpeg.data())));
    ASSERT_TRUE(writer._AddImage(100, 50, 72, 8, CQVPDFWriter::DCTDecode, static_cast<int>(data.size()), data.data()));
    // Refused before anything is written.
    const ULONGLONG before = writer.GetLength();
    EXPECT_FALSE(writer._AddImage(100, 50, 0, 8, CQVPDFWriter::DCTDecode, 100, data.data()));
    EXPECT_FALSE(writer._AddImage(100, 50, 72, 4, CQVPDFWriter::DCTDecode, 100, data.data()));
    EXPECT_FALSE(writer._AddImage(100, 50, 72, 1, CQVPDFWriter::DCTDecode, 100, data.data()));
    EXPECT_FALSE(writer.AddPage("no document"));
    EXPECT_FALSE(writer.AddImage(100, 50, 72, 8, CQVPDFWriter::DCTDecode, 100, data.data(), "no page"));
    CQVBitmapHandle bitmap;
    ASSERT_TRUE(bitmap.Create(10, 10, 8));
    EXPECT_FALSE(writer.AddImage(bitmap, u"no page"));
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_EQ(writer.GetLength(), before);
  }
  CheckPdf(pdf, { Page(letter, 300, 300, "jpeg", 6.0), Page(small, 72, 72, "jpeg", 4.0) }, dir);
  // The letter page is exactly a letter page; its picture is drawn a hair short of the page's edges.
  const std::string info = Output("pdfinfo " + Quote(pdf));
  EXPECT_NE(info.find(" 612 x 792 pts (letter)"), std::string::npos) << info;
  const std::string text = Text(pdf);
  EXPECT_EQ(text.rfind("%PDF-1.4\n", 0), 0u);
  EXPECT_NE(text.find("4 0 obj\n<</Type /Page\n/Parent 3 0 R\n/Resources<</XObject<</Im0 7 0 R>>\n"
                      "/ProcSet [ /PDF /ImageC ]>>\n/MediaBox [ 0 0 612 792 ]\n/Contents 5 0 R\n>>\nendobj\n"),
            std::string::npos);
  EXPECT_NE(text.find("5 0 obj\n<</Length 6 0 R>>\nstream\n611.9999 0 0 791.9998 0 0.0001 cm\n/Im0 Do\nendstream\nendobj\n"
                      "6 0 obj\n41\nendobj\n"),
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

// Pages are their pictures' exact physical size, to a ten-thousandth of a point; sizes keep their
// decimals whatever the process locale writes as a separator, and a page is never less than one
// point wide.
TEST(CQVPDFWriterTest, PageSizesAreWrittenWithoutTheLocale) {
  TempDir dir;
  const std::string pdf = dir.Path("sizes.pdf");
  Picture fax, tiny, odd;
  const std::vector<BYTE> faxJpeg = JpegOf(Pattern(1728, 1082), 8, fax);
  const std::vector<BYTE> tinyJpeg = JpegOf(Pattern(3, 3), 8, tiny);
  const std::vector<BYTE> oddJpeg = JpegOf(Pattern(101, 101), 8, odd);
  Picture a4;
  const std::vector<BYTE> a4Jpeg = JpegOf(Pattern(2480, 3508), 8, a4);
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  {
    CQVPDFWriter writer(CString(Wide(pdf).c_str()));
    ASSERT_TRUE(writer._AddImage(1728, 1082, 204, 98, 8, CQVPDFWriter::DCTDecode, static_cast<int>(faxJpeg.size()),
                                 faxJpeg.data()));
    ASSERT_TRUE(writer._AddImage(3, 3, 300, 300, 8, CQVPDFWriter::DCTDecode, static_cast<int>(tinyJpeg.size()),
                                 tinyJpeg.data()));
    ASSERT_TRUE(writer._AddImage(101, 101, 200, 200, 8, CQVPDFWriter::DCTDecode, static_cast<int>(oddJpeg.size()),
                                 oddJpeg.data()));
    ASSERT_TRUE(writer._AddImage(2480, 3508, 300, 300, 8, CQVPDFWriter::DCTDecode, static_cast<int>(a4Jpeg.size()),
                                 a4Jpeg.data()));
  }
  std::setlocale(LC_ALL, saved.c_str());
  ExpectedPage tinyPage = Page(tiny, 300, 300, "jpeg", 8.0);
  tinyPage.rendered = false;
  CheckPdf(pdf, { Page(fax, 204, 98, "jpeg", 4.0), tinyPage, Page(odd, 200, 200, "jpeg", 4.0), Page(a4, 300, 300, "jpeg", 4.0) },
           dir);
  const std::string text = Text(pdf);
  EXPECT_NE(text.find("/MediaBox [ 0 0 609.8824 794.9388 ]"), std::string::npos);
  EXPECT_NE(text.find("609.8823 0 0 794.9386 0 0.0001 cm\n"), std::string::npos);
  EXPECT_NE(text.find("/MediaBox [ 0 0 1 1 ]"), std::string::npos);
  EXPECT_NE(text.find("/MediaBox [ 0 0 36.36 36.36 ]"), std::string::npos);
  EXPECT_NE(text.find("/MediaBox [ 0 0 595.2 841.92 ]"), std::string::npos);
  const std::string info = Output("pdfinfo -f 4 -l 4 " + Quote(pdf));
  EXPECT_NE(info.find(" 595.2 x 841.92 pts (A4)"), std::string::npos) << info;
}

// Stored page files written to a PDF the way an export does it (each loaded, then added) render,
// page by page, exactly as they did before the path from file to PDF was made a plain copy: the
// digests of pdftoppm's renderings were recorded then. Bilevel pages of several sizes and
// resolutions, one changed after loading, and grey and colour pages.
TEST(CQVPDFWriterTest, StoredPagesRenderAsRecorded) {
  TempDir dir;
  struct Source {
    int width, height, bitsPerPixel, xDpi, yDpi;
    bool change;
    const char* digest;  // FNV-1a of the rendering
  };
  const Source sources[] = {
      {2480, 3508, 1, 300, 300, false, "ea56d023ac0ccc68"},
      // Since pages have their exact physical size, pdftoppm rounds this one up by a blank row.
      {1728, 2200, 1, 204, 196, false, "c2f0abb6fce91637"},
      {1001, 777, 1, 200, 200, true, "0c507990517258fe"},
      {600, 400, 8, 100, 100, false, "494e826c9905acf7"},
      {500, 300, 24, 150, 150, false, "0188ecafb8970915"},
  };
  const std::string pdf = dir.Path("stored.pdf");
  {
    CQVPDFWriter writer(CString(Wide(pdf).c_str()));
    for (size_t i = 0; i < std::size(sources); ++i) {
      const Source& s = sources[i];
      CQVBitmapHandle page;
      ASSERT_TRUE(HandleOf(Pattern(s.width, s.height), s.bitsPerPixel, page));
      page.SetXDPI(s.xDpi);
      page.SetYDPI(s.yDpi);
      const std::u16string file = Wide(dir.Path("page" + std::to_string(i) + ".tif"));
      ASSERT_TRUE(CQVBDEImageFormat::CreateImage(file.c_str(), page));
      CQVBitmapHandle loaded;
      ASSERT_TRUE(CQVBDEImageFormat::LoadImage(file.c_str(), loaded, 1));
      COLORREF colour = 0;
      if (s.change) {
        ASSERT_TRUE(loaded.GetPixelColor(3, 3, colour) && loaded.SetPixelColor(3, 3, colour ^ 1));
      }
      ASSERT_TRUE(writer._AddImage(loaded));
    }
    ASSERT_TRUE(writer.Finish());
  }
  for (size_t i = 0; i < std::size(sources); ++i) {
    const Source& s = sources[i];
    const std::string number = std::to_string(i + 1), out = dir.Path("rendered" + number);
    const bool grey = s.bitsPerPixel == 1;
    ASSERT_TRUE(Shell("pdftoppm -f " + number + " -l " + number + " -rx " + std::to_string(s.xDpi) + " -ry " +
                      std::to_string(s.yDpi) + " -aa no -aaVector no " + (grey ? "-gray " : "") + "-singlefile " + Quote(pdf) +
                      " " + Quote(out)));
    uint64_t hash = 14695981039346656037ull;
    for (BYTE b : ReadAll(out + (grey ? ".pgm" : ".ppm"))) hash = (hash ^ b) * 1099511628211ull;
    char digest[20];
    std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(hash));
    EXPECT_STREQ(digest, s.digest) << "page " << number;
  }
}

// A save that fails where it may (in an image, in the outline and trailer, or for want of any
// page) keeps the PDF that was there byte for byte and leaves no other file; without an old PDF
// it leaves no file at all. A read-only PDF is not written over, and a missing folder is reported.
TEST(CQVPDFWriterTest, AFailedSaveKeepsTheFileThatWasThere) {
  const std::string old = "%PDF-1.4\n% the old file\n%%EOF";
  std::vector<BYTE> jpeg(20000, 0x55);
  enum Failure { kInAnImage, kInTheTrailer, kNoPages };
  for (bool existing : { true, false }) {
    for (Failure failure : { kInAnImage, kInTheTrailer, kNoPages }) {
      SCOPED_TRACE(testing::Message() << "failure " << failure << (existing ? ", over an old PDF" : ""));
      TestFolder folder;
      if (existing) folder.Write("saved.pdf", old);
      {
        CQVPDFWriter writer(folder.Wide("saved.pdf").GetString());
        std::optional<FileSizeLimit> limit;
        if (failure == kInAnImage) limit.emplace(50000);
        for (int i = 0; failure != kNoPages && i < 5; ++i) {  // JPEG data is not looked into
          try {
            writer._AddImage(100, 100, 100, 8, CQVPDFWriter::DCTDecode, 20000, jpeg.data());
          } catch (CFileException* e) {
            e->Delete();
          }
        }
        if (failure == kInTheTrailer) {
          limit.emplace(writer.GetLength() + 200);
          for (int i = 0; i < 200; ++i) ASSERT_TRUE(writer.AddDoc("a document title that takes room"));
        }
        EXPECT_FALSE(writer.Finish());
      }
      EXPECT_EQ(folder.Names(), existing ? std::set<std::string>({ "saved.pdf" }) : std::set<std::string>());
      if (existing) {
        EXPECT_EQ(folder.Read("saved.pdf"), old);
      }
    }
  }

  TestFolder folder;
  folder.Write("locked.pdf", old);
  ::chmod(folder.Native("locked.pdf").c_str(), 0444);
  for (const char* name : { "locked.pdf", "missing/x.pdf" }) {
    EXPECT_THROW(
        {
          try {
            CQVPDFWriter writer(folder.Wide(name).GetString());
          } catch (CFileException* e) {
            e->Delete();
            throw 1;
          }
        },
        int)
        << name;
  }
  EXPECT_EQ(folder.Read("locked.pdf"), old);
}

}  // namespace
