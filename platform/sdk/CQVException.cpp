#include "platform/sdk/CQVException.h"

IMPLEMENT_DYNAMIC(CQVException, CException)

void CQVException::Throw() { throw new CQVException(kNoErrorCode); }

void CQVException::Throw(int errorCode) { throw new CQVException(errorCode); }
