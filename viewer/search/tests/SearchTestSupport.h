#pragma once
// What the search's tests share: the viewer's texts, and two published batches with different
// index fields in one folder.

#include "viewer/model/tests/BatchFixture.h"

#include <string>
#include <vector>

// Registers the tests' copy of the viewer's language file and switches to the language.
void UseViewerLanguage(LPCWSTR language = u"en-us");

// Under `folder`: "invoices" (Invoices: Customer, City; four documents) and "contracts"
// (Contracts: twelve fields "Field 01" ... with a long name as the fourth; two documents).
void WriteTwoBatches(const std::filesystem::path& folder);
// The names of the twelve fields of Contracts.
std::vector<std::string> ContractFields();
