#pragma once
// The mail programs registered under "Software\Clients\Mail" of the local machine: the key's
// default value names the default program, each subkey is one program.

#include "platform/core/CString.h"

#include <vector>

// The default program; FALSE when the key or its default value cannot be read.
BOOL ReadDefaultMailClient(CString& name);
// Makes the name the default (REG_SZ, without a terminator counted).
BOOL WriteDefaultMailClient(const CString& name);
// The registered program of that name (compared without regard to case), with its registered
// spelling; FALSE when there is none.
BOOL FindMailClient(const CString& name, CString& registered);
// The programs offered for sending: the subkeys that have a "DLLPath" value, without those the
// list excludes ("Juno"), in the registry's order.
std::vector<CString> ListMailClients();
