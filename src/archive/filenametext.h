// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File names are bytes on this system, not text: a name written in another
// encoding (a Windows share, an old archive) is not UTF-8. These carry a name
// into the text of a JSON document and back without losing a byte.
#include <QString>

#include <string>

// The name as text: UTF-8 decoded, each byte that is not part of valid UTF-8
// as the lone surrogate U+DC80 + byte (Python's "surrogateescape", so that
// os.fsencode() gives the bytes back). Valid UTF-8 names come out unchanged.
QString FileNameText(const std::string& Name);

// The bytes of a name that FileNameText made.
std::string FileNameBytes(const QString& Text);

// The name as a key that stays valid Unicode wherever it goes (an Elasticsearch
// _id, jq): '%' and each byte that is not part of valid UTF-8 as %XX, so that
// two names never share a key.
QString FileNameKey(const std::string& Name);
