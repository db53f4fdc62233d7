// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <stdexcept>
#include <string>

// Base of every error this program raises; what() is the text shown to the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// Data that ends before the bytes a reader needs.
class EReadError : public Exception {
public:
    EReadError() : Exception("Stream read error") {}
    explicit EReadError(const std::string& message) : Exception(message) {}
};

class EWriteError : public Exception {
public:
    EWriteError() : Exception("Stream write error") {}
    explicit EWriteError(const std::string& message) : Exception(message) {}
};

class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// Page data that is not a usable enhanced metafile.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
