#pragma once
// A job: its document types, each with its own index fields, the index fields of its batches and
// the folder its batches are kept in; and the listing of the jobs of a folder.
//
// A job lives in a folder of its own: "job.info" (the job and its document types),
// "batch.indexfields" and one "doc.<type>.indexfields" per document type. Saving builds the new
// folder beside the old one and swaps it in, so a failed save leaves the job that was there.

#include "batchstore/jobs/CQVJDEIndexFieldItem.h"

class CQVJDEDocTypeItem : public CQVJDECommonItem {
  DECLARE_DYNCREATE(CQVJDEDocTypeItem)
public:
  BOOL ToScript(CString& text) override;
  BOOL FromScript(CDPXScriptFile& file) override;
  CQVJDEIndexFieldItemList& GetIndexFieldItems() { return m_fields; }

private:
  CQVJDEIndexFieldItemList m_fields;
};

class CQVJDEDocTypeItemList : public CQVJDECommonItemList {
  DECLARE_DYNCREATE(CQVJDEDocTypeItemList)
public:
  CQVJDEDocTypeItemList() : CQVJDECommonItemList(RUNTIME_CLASS(CQVJDEDocTypeItem)) {}
  BOOL ToScript(CString& text) override { return List_Script(text, u"DocType"); }
  BOOL FromScript(CDPXScriptFile& file) override { return Script_List(file, u"DocType"); }
  CQVJDEDocTypeItem* GetDocType(int index) const { return static_cast<CQVJDEDocTypeItem*>(Get(index)); }
};

class CQVJDEJobItem : public CQVJDECommonItem {
  DECLARE_DYNCREATE(CQVJDEJobItem)
public:
  BOOL ToScript(CString& text) override;
  BOOL FromScript(CDPXScriptFile& file) override;

  // Kept with a trailing separator when not empty.
  void SetJobRootDir(LPCWSTR path);
  void GetJobRootDir(CString& path) const { path = m_strJobRootDir; }
  CQVJDEIndexFieldItemList& GetBatchIndexFieldItems() { return m_batchFields; }
  CQVJDEDocTypeItemList& GetDocTypeItems() { return m_docTypes; }

  // Replaces the job folder with this job. Refused (the folder untouched) for a document type
  // whose name is not valid, and for a job root folder inside the job folder, whose batches the
  // old folder would take with it.
  BOOL Save(LPCWSTR folder);
  // FALSE, with both lists empty, when "job.info" does not load; a field file that does not load
  // leaves only its own list empty.
  BOOL Load(LPCWSTR folder);

  static BOOL GetJobInfoFilename(LPCWSTR folder, CString& path);
  static BOOL GetBatchIndexFieldsFilename(LPCWSTR folder, CString& path);
  static BOOL GetDocTypeIndexFieldsFilename(LPCWSTR folder, LPCWSTR docType, CString& path);

private:
  BOOL WriteFolder(const CString& folder);

  CString m_strJobRootDir;
  CQVJDEIndexFieldItemList m_batchFields;
  CQVJDEDocTypeItemList m_docTypes;
};

// One job found in a folder: its name, description and folder.
class CQVJDEJobNameItem : public CQVJDECommonItem {
  DECLARE_DYNCREATE(CQVJDEJobNameItem)
public:
  // Kept with a trailing separator when not empty.
  void SetDir(LPCWSTR path);
  void GetDir(CString& path) const { path = m_strDir; }

private:
  CString m_strDir;
};

class CQVJDEJobNameItemList : public CQVJDECommonItemList {
  DECLARE_DYNCREATE(CQVJDEJobNameItemList)
public:
  CQVJDEJobNameItemList() : CQVJDECommonItemList(RUNTIME_CLASS(CQVJDEJobNameItem)) {}
  // Every sub-folder of the folder that loads as a job, in the order the file system gives.
  BOOL FindJobs(LPCWSTR folder);
  CQVJDEJobNameItem* GetJob(int index) const { return static_cast<CQVJDEJobNameItem*>(Get(index)); }
};
