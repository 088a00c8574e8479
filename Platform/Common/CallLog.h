// Call log and failure injection shared by the stand-in's services.
#pragma once

#include <initializer_list>

namespace plat
{

// Records a call; true when failure injection says this call is to fail
// (the record is then marked failed and the caller must change nothing).
bool RecordCall(const char* pszName, std::initializer_list<long long> aArgs = {});

// Failure injection for calls that are not logged.
bool ShouldFail(const char* pszName);

void ResetCallLog();

} // namespace plat
