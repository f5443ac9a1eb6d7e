#pragma once
// Records the management server's folders in the endpoint product's registry
// path-expansion map.

#include <string>

// Writes "VEKMINSTALLDIR" = installDir and "VEKMDATADIR" = dataDir (REG_SZ)
// under HKLM\SOFTWARE\Torvane\Shieldhold\<silo>\Common Client\PathExpansionMap
// when the product version ("PRODUCTVERSION") passes ProductVersionGatePasses
// (an unreadable version passes) and the service "VekMasterService" is
// installed. Keys are those of the 32-bit registry view, in the 64-bit build
// too; no key is created. Returns false only when the service control manager
// cannot be opened; a version below the gate, a missing service, an
// unreadable silo or a failed write all return true, with nothing or not
// everything written.
bool SetRegistryForZelQual(const std::string& installDir, const std::string& dataDir);
