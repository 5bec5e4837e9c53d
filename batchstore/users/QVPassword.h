#pragma once
// The stored forms of user passwords.
//
// What is written is a salted, slow hash: "$pbkdf2-sha256$<iterations>$<salt>$<hash>", PBKDF2
// with HMAC-SHA-256 over the UTF-8 bytes of the password, a random 16-byte salt and a 32-byte
// result, salt and result in hexadecimal. Profiles written before hold the older form, 32
// hexadecimal digits of MD5 over the UTF-8 bytes of the user's name followed by the password;
// it is still accepted when checking. Both forms are compared in constant time.

#include "platform/core/CString.h"

// The stored form of a new password; FALSE when no random salt can be had.
BOOL QVHashPassword(LPCWSTR password, CString& stored);
// TRUE when the password matches the stored form, in either of its forms; `name` is the user's
// name, which the older form digests with the password.
BOOL QVCheckPassword(LPCWSTR name, LPCWSTR password, const CString& stored);
