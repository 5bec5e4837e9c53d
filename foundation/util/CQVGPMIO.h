#pragma once
// The record of one ID opened from the ID store: its lock (held while it is open for writing),
// its name, the temporary working copy the caller edits, and whether it is open for reading only.
// Derived classes read and write their data in the working copy through OnOpen and OnClose.

#include "foundation/util/CQVGPMLock.h"

class CQVGPMIO {
public:
  CQVGPMIO() = default;
  // Releases the lock and deletes a working copy still left.
  virtual ~CQVGPMIO();

  void GetID(CString& id) const { id = m_strID; }
  void GetWorkingPath(CString& path) const { path = m_strWorkingPath; }
  BOOL IsOpen() const { return m_nState != stateClosed; }
  BOOL IsOpen(BOOL& readOnly) const;

  // Runs OnOpen on the working copy; FALSE unless the record is closed.
  BOOL Open(BOOL readOnly);
  // Runs OnClose when the record is open; closed afterwards in every case.
  void Close(BOOL discard);

protected:
  // Reads the working copy; FALSE fails the opening.
  virtual BOOL OnOpen(LPCWSTR workingPath, BOOL readOnly) = 0;
  // Writes into the working copy (unless discarding), before the store copies it back.
  virtual void OnClose(LPCWSTR workingPath, BOOL readOnly, BOOL discard) = 0;

private:
  friend class CQVGPMManager;
  enum State { stateClosed, stateReadOnly, stateWritable };

  CQVGPMLock m_lock;
  CString m_strID;
  CString m_strWorkingPath;
  int m_nState { stateClosed };
};
