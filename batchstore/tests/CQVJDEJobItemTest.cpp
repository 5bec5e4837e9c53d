#include "batchstore/CQVBDEIndexItem.h"
#include "batchstore/jobs/CQVJDEHelper.h"
#include "batchstore/jobs/CQVJDEJobItem.h"
#include "foundation/language/CQVRCM.h"
#include "foundation/language/KernelEntry.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

CQVJDEIndexFieldItem* AddField(CQVJDEIndexFieldItemList& list, LPCWSTR name, int type) {
  int index = -1;
  auto* field = static_cast<CQVJDEIndexFieldItem*>(list.Add(index));
  field->SetName(name);
  field->SetType(type);
  return field;
}

CQVJDEDocTypeItem* AddDocType(CQVJDEJobItem& job, LPCWSTR name) {
  int index = -1;
  auto* type = static_cast<CQVJDEDocTypeItem*>(job.GetDocTypeItems().Add(index));
  type->SetName(name);
  return type;
}

CString NameOf(const CQVJDECommonItem* item) {
  CString name;
  item->GetName(name);
  return name;
}

}  // namespace

TEST(CQVJDEIndexFieldItem, WritesEveryKeyInTheDocumentedOrder) {
  TestFolder folder;
  CQVJDEIndexFieldItemList list;
  CQVJDEIndexFieldItem* field = AddField(list, u" Invoice ", CQVJDEIndexFieldItem::typeList);
  field->SetDescription(u" number ");
  field->SetHidden(TRUE);
  field->SetRegion(1, 2, 30, 40);
  field->SetRegionSide(FALSE);
  field->AddListItem(u"A");
  field->AddListItem(u" b ");
  field->AddListItem(u"A");
  field->SetInputMask(u" 999 ");
  field->SetDefaultValueExp(u"_Barcode_");
  field->AddSubstitutionItem(u'a', u'A');
  AddField(list, u"Plain", 9);
  ASSERT_TRUE(list.Save(folder.Wide("batch.indexfields")));
  EXPECT_EQ(folder.Read("batch.indexfields"),
            "\xEF\xBB\xBF"
            "[Field #1]\r\nName = Invoice\r\nDescription = number\r\nType = List\r\nHidden = True\r\nReadOnly = False\r\n"
            "RegionDefined = True\r\nRegionX0 = 1\r\nRegionY0 = 2\r\nRegionX1 = 30\r\nRegionY1 = 40\r\n"
            "RegionOnFront = False\r\nTextList = True\r\nListItem = A\r\nListItem =  b \r\nInputMask = 999\r\n"
            "SampleInput = \r\nDefaultValueExp = _Barcode_\r\nOutputMask = \r\nSubstitution = True\r\n"
            "SubstitutionItem = 97, 65\r\n\r\n"
            "[Field #2]\r\nName = Plain\r\nDescription = \r\nType = Unknown\r\nHidden = False\r\nReadOnly = False\r\n"
            "RegionDefined = False\r\nTextList = False\r\nInputMask = \r\nSampleInput = \r\nDefaultValueExp = \r\n"
            "OutputMask = \r\nSubstitution = False\r\n\r\n");
}

TEST(CQVJDEIndexFieldItem, FilesOfOtherEditorsReadAsTheRulesSay) {
  TestFolder folder;
  folder.Write("f.indexfields",
               "[FieldX]\r\nName = First\r\nType = text\r\nRegionDefined = True\r\nRegionX0 = -5\r\nRegionY0 = 7\r\n"
               "Substitution = True\r\nSubstitutionItem = 65, 65\r\nSubstitutionItem = 0, 66\r\n"
               "SubstitutionItem = 67, 68\r\nSubstitutionItem = 67, 69\r\nSubstitutionItem = 70\r\n"
               "[Field #2]\r\nName = Memo\r\nType = Memo\r\n"
               "[Field #3]\r\nName = Bad.Name\r\nType = Text\r\n"
               "[Other]\r\nName = Other\r\nType = Text\r\n"
               "[Field #4]\r\nName = Last\r\nType = API\r\nTextList = False\r\nListItem = ignored\r\n");
  CQVJDEIndexFieldItemList list;
  ASSERT_TRUE(list.Load(folder.Wide("f.indexfields")));
  ASSERT_EQ(list.GetCount(), 2) << "a Memo type, an invalid name and a section of another word are skipped";
  CQVJDEIndexFieldItem* first = list.GetField(0);
  EXPECT_EQ(NameOf(first), u"First");
  EXPECT_EQ(first->GetType(), CQVJDEIndexFieldItem::typeText);
  int x0, y0, x1, y1;
  EXPECT_TRUE(first->GetRegion(x0, y0, x1, y1));
  EXPECT_EQ(x0, 0);
  EXPECT_EQ(y0, 7);
  EXPECT_EQ(x1, 0) << "a missing corner reads as 0";
  EXPECT_FALSE(first->IsRegionOnFront()) << "without RegionOnFront the region lies on the back";
  ASSERT_EQ(first->GetSubstitutionItemCount(), 1);
  WCHAR from = 0, to = 0;
  first->GetSubstitutionItem(0, from, to);
  EXPECT_EQ(from, u'C');
  EXPECT_EQ(to, u'E') << "a second pair with the same from-character replaces the first";
  EXPECT_EQ(list.GetField(1)->GetListItemCount(), 0);
  EXPECT_FALSE(list.Load(folder.Wide("missing"))) << "a missing file does not load";
  EXPECT_EQ(list.GetCount(), 0);
}

// A description, list item or mask with a line break would read back as further keys of the
// section (a field turned into an API field); such a field is not written.
TEST(CQVJDEIndexFieldItem, ValuesWithLineBreaksNeverInjectKeys) {
  TestFolder folder;
  folder.Write("keep.indexfields", "[Field #1]\r\nName = Old\r\nType = Text\r\n");
  for (int what = 0; what < 3; ++what) {
    CQVJDEIndexFieldItemList list;
    CQVJDEIndexFieldItem* field = AddField(list, u"Field", CQVJDEIndexFieldItem::typeText);
    if (what == 0) field->SetDescription(u"a\r\nType = API");
    if (what == 1) field->AddListItem(u"x\nType = API");
    if (what == 2) field->SetInputMask(u"9\rType = API");
    EXPECT_FALSE(list.Save(folder.Wide("keep.indexfields"))) << what;
  }
  CQVJDEIndexFieldItemList read;
  ASSERT_TRUE(read.Load(folder.Wide("keep.indexfields")));
  EXPECT_EQ(NameOf(read.GetField(0)), u"Old") << "the file that was there stays";
}

TEST(CQVJDECommonItemList, MovesAreClampedToTheList) {
  CQVJDEIndexFieldItemList list;
  for (const char16_t* name : { u"a", u"b", u"c" }) AddField(list, name, 1);
  EXPECT_FALSE(list.CanMove(0, -1));
  EXPECT_TRUE(list.CanMove(0, 1));
  EXPECT_FALSE(list.CanMove(2, 1));
  EXPECT_EQ(list.Move(0, -5), 0);
  EXPECT_EQ(list.Move(0, 5), 2);
  EXPECT_EQ(list.Move(7, 1), -1);
  EXPECT_EQ(NameOf(list.Get(0)) + NameOf(list.Get(1)) + NameOf(list.Get(2)), u"bca");
  EXPECT_EQ(list.Move(2, -1), 1);
  EXPECT_EQ(NameOf(list.Get(1)), u"a");
  EXPECT_EQ(list.Find(u" A "), 1);
}

TEST(CQVJDEJobItem, SavesAndLoadsAWholeJob) {
  TestFolder folder;
  CQVJDEJobItem job;
  job.SetName(u"Invoices");
  job.SetDescription(u"incoming mail");
  job.SetJobRootDir(u"/data/batches");
  AddField(job.GetBatchIndexFieldItems(), u"Batch", CQVJDEIndexFieldItem::typeText);
  AddField(AddDocType(job, u"Letter")->GetIndexFieldItems(), u"Sender", CQVJDEIndexFieldItem::typeTextEx);
  AddDocType(job, u"Note");
  ASSERT_TRUE(job.Save(folder.Wide("job")));
  EXPECT_EQ(folder.Read("job/job.info"),
            "\xEF\xBB\xBF[General]\r\nName = Invoices\r\nDescription = incoming mail\r\nJobRootDir = /data/batches/\r\n\r\n"
            "[DocType #1]\r\nName = Letter\r\nDescription = \r\n\r\n[DocType #2]\r\nName = Note\r\nDescription = \r\n\r\n");
  EXPECT_TRUE(std::filesystem::exists(folder.Native("job/doc.Letter.indexfields")));

  CQVJDEJobItem read;
  ASSERT_TRUE(read.Load(folder.Wide("job")));
  CString root;
  read.GetJobRootDir(root);
  EXPECT_EQ(root, u"/data/batches/");
  ASSERT_EQ(read.GetDocTypeItems().GetCount(), 2);
  ASSERT_EQ(read.GetDocTypeItems().GetDocType(0)->GetIndexFieldItems().GetCount(), 1);
  EXPECT_EQ(read.GetDocTypeItems().GetDocType(0)->GetIndexFieldItems().GetField(0)->GetType(),
            CQVJDEIndexFieldItem::typeTextEx);
  EXPECT_EQ(read.GetBatchIndexFieldItems().GetCount(), 1);

  CQVJDEJobNameItemList jobs;
  folder.Write("not-a-job/readme.txt", "x");
  ASSERT_TRUE(jobs.FindJobs(folder.Wide()));
  ASSERT_EQ(jobs.GetCount(), 1);
  CString dir;
  jobs.GetJob(0)->GetDir(dir);
  EXPECT_EQ(NameOf(jobs.GetJob(0)), u"Invoices");
  EXPECT_EQ(dir, folder.Wide("job/"));
}

// Saving used to delete the job folder first and again on failure: a document type with an
// invalid name lost the job that was there.
TEST(CQVJDEJobItem, AFailedSaveKeepsTheJobThatWasThere) {
  TestFolder folder;
  CQVJDEJobItem job;
  job.SetName(u"Invoices");
  AddDocType(job, u"Letter");
  ASSERT_TRUE(job.Save(folder.Wide("job")));
  folder.Write("job/stale.txt", "x");

  AddDocType(job, u"A.B");
  EXPECT_FALSE(job.Save(folder.Wide("job")));
  EXPECT_TRUE(std::filesystem::exists(folder.Native("job/doc.Letter.indexfields")));
  EXPECT_FALSE(job.Save(folder.Wide("other")));
  EXPECT_FALSE(std::filesystem::exists(folder.Native("other"))) << "a failed save leaves no folder behind";

  job.GetDocTypeItems().Delete(1);
  job.SetJobRootDir(folder.Wide("job/batches"));
  EXPECT_FALSE(job.Save(folder.Wide("job"))) << "the batches would go with the old folder";
  job.SetJobRootDir(folder.Wide("jobroot"));
  ASSERT_TRUE(job.Save(folder.Wide("job")));
  EXPECT_FALSE(std::filesystem::exists(folder.Native("job/stale.txt"))) << "saving writes the whole folder anew";
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Native())) ++entries;
  EXPECT_EQ(entries, 1u) << "no folder of the swap is left beside the job";
}

TEST(CQVJDEHelper, ErrorMessagesComeFromTheLanguageTexts) {
  const HINSTANCE kernel = QVKernelInstance();
  ASSERT_TRUE(CQVRCM::SetCurrentLanguage(u"de-de", kernel, TRUE));
  CString text;
  CQVJDEHelper::GetErrorMessage(11317, text);
  EXPECT_EQ(text, u"Fehler 11317: Dies ist kein gültiges Datum.");
  ASSERT_TRUE(CQVRCM::SetCurrentLanguage(u"en-us", kernel, TRUE));
  CQVJDEHelper::GetErrorMessage(2, text);
  EXPECT_EQ(text, u"Error 2: An internal error occurred, or the field type is not known.");
  CQVJDEHelper::GetErrorMessage(12345, text);
  EXPECT_EQ(text, u"Error 12345: ") << "a code without a text of its own";
}

TEST(CQVBDEIndexItemList, ValuesAreFilledTrimmedAndCheckedByTheJobsFields) {
  CQVJDEIndexFieldItemList fields;
  CQVJDEIndexFieldItem* number = AddField(fields, u"Number", CQVJDEIndexFieldItem::typeText);
  number->SetInputMask(u"9<1,5>");
  number->SetDefaultValueExp(u"_Barcode_ or \"0\"");
  AddField(fields, u"", CQVJDEIndexFieldItem::typeText);
  CQVJDEIndexFieldItem* kind = AddField(fields, u"Kind", CQVJDEIndexFieldItem::typeList);
  kind->AddListItem(u"A");
  kind->SetDefaultValueExp(u"_Kind");
  CQVJDEDefaultValueTags tags;
  tags.SetTag(u"Barcode", u"4711", 6500);

  CQVBDEIndexItemList items;
  items.SetIndex(u"Stale", u"x", 0, 1);
  items.InitializeWithDefaultValues(&fields, tags);
  ASSERT_EQ(items.GetCount(), 2);
  CString name, value;
  int source = -1, accuracy = -1;
  ASSERT_TRUE(items.GetIndex(0, name, value, source, accuracy));
  EXPECT_EQ(name + u"=" + value, u"Number=4711");
  EXPECT_EQ(source, CQVBDEIndexItem::sourceSystem);
  EXPECT_EQ(accuracy, 6500);
  ASSERT_TRUE(items.GetIndex(1, name, value, source, accuracy));
  EXPECT_EQ(name + u"=" + value, u"Kind=") << "an expression that does not parse gives an empty value";
  EXPECT_EQ(accuracy, 0);

  int code = -1, index = -1;
  EXPECT_FALSE(items.Validate(&fields, code, index));
  EXPECT_EQ(code, 40001);
  EXPECT_EQ(index, 2) << "the field without a name counts";
  items.SetIndex(u"kind", u"A", 0, 10000);
  EXPECT_TRUE(items.Validate(&fields, code, index));
  EXPECT_EQ(code, 0);
  items.SetIndex(u"Number", u"123456", 0, 10000);
  EXPECT_FALSE(items.Validate(&fields, code, index));
  EXPECT_EQ(code, 11101);
  EXPECT_EQ(index, 0);

  items.SetIndex(u"Other", u"x", 0, 1);
  items.Normalize(&fields);
  EXPECT_EQ(items.GetCount(), 2);
  EXPECT_EQ(items.FindItem(u"Other"), -1);
  items.Normalize(nullptr);
  EXPECT_EQ(items.GetCount(), 0);
  code = index = 7;
  EXPECT_TRUE(items.Validate(nullptr, code, index));
  EXPECT_EQ(code + index, 14) << "without fields the outputs are untouched";
}
