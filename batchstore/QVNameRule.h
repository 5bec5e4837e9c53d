#pragma once
// The rule for names of jobs and batches: after trimming 1 to 20 characters, none of the 18
// characters \ / : . ( ) [ ] { } * ? % & + - < >. A batch name is a folder name under the job
// root folder, so the rule also keeps it from naming "..", a path or an absolute folder.

#include "platform/core/wintypes.h"

BOOL QVCheckName(LPCWSTR name);
// The same rule with another longest length (page setups allow 50 characters).
BOOL QVCheckName(LPCWSTR name, int maxLength);
