#include "viewer/search/tests/SearchTestSupport.h"

#include "foundation/language/CQVRCM.h"

#include <gtest/gtest.h>

void UseViewerLanguage(LPCWSTR language) {
  CQVRCM::RegisterRCM(nullptr, u"ViewerSearchTest.drs", TRUE);
  ASSERT_TRUE(CQVRCM::SetCurrentLanguage(language, nullptr, FALSE)) << CString(language).ToUtf8();
}

std::vector<std::string> ContractFields() {
  std::vector<std::string> fields;
  for (int i = 1; i <= 12; ++i) fields.push_back(i == 4 ? "Name of the contract partner" : "Field " + std::string(i < 10 ? "0" : "") + std::to_string(i));
  return fields;
}

void WriteTwoBatches(const std::filesystem::path& folder) {
  BatchFiles invoices;
  invoices.header = Header("Invoices", {"Customer", "City"});
  invoices.index = "001;1;00012345;B;D;0;0;0;0;0;0;1;0;ACME Corp;Berlin\r\n"
                   "001;1;00012346;B;D;0;0;0;0;0;0;1;0;Baker;Oslo\r\n"
                   "001;1;00012347;B;D;0;0;0;0;0;0;1;0;acme gmbh;Rome\r\n"
                   "001;1;00012348;B;D;0;0;0;0;0;0;1;0;Zeta;Berlin\r\n";
  invoices.folders = {"5/34", "6/34", "7/34", "8/34"};
  invoices.Write(folder / "invoices");
  BatchFiles contracts;
  contracts.header = Header("Contracts", ContractFields());
  contracts.index = "001;1;00020001;B;D;0;0;0;0;0;0;1;0;a;b;c;ACME;e;f;g;h;i;j;k;l\r\n"
                    "001;1;00020002;B;D;0;0;0;0;0;0;1;0;a;b;c;Other;e;f;g;h;i;j;k;l\r\n";
  contracts.folders = {"1/00", "2/00"};
  contracts.Write(folder / "contracts");
}
