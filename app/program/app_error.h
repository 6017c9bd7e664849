// A run-time error of the program: a number and its description.  Each
// procedure catches the errors of the steps it runs and reports them in
// its own message.
#pragma once

#include <QString>

struct AppError {
    int number;
    QString description;
};

// Errors raised by the binding to the image library.
constexpr int kErrFileNotFound = 53;
constexpr int kErrEntryPointNotFound = 453;
// Reading or writing a file failed.
constexpr int kErrPathFileAccess = 75;


// The run-time error of an operating-system error number.
AppError ErrorFromErrno(int number);
