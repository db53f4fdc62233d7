// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qrhyperlinks.h"

#include <QUrl>
#include <gtest/gtest.h>

TEST(HyperlinkTarget, PathsAreRelativeToTheReportAndOnlyKnownSchemesPass)
{
    const struct {
        const char* Link;
        const char* Expected; // empty: refused
    } cases[] = {
        {"a.pdf", "file:///data/reports/a.pdf"},
        {"docs/b c.txt", "file:///data/reports/docs/b c.txt"},
        {"..\\shared\\c.xlsx", "file:///data/shared/c.xlsx"},
        {"/etc/hosts", "file:///etc/hosts"},
        {"file:///tmp/x.pdf", "file:///tmp/x.pdf"},
        {"https://example.org/q?a=1", "https://example.org/q?a=1"},
        {"HTTP://example.org", "http://example.org"},
        {"mailto:destek@example.org", "mailto:destek@example.org"},
        {"javascript:alert(1)", ""},
        {"smb://server/share", ""},
        {"  ", ""},
    };
    for (const auto& c : cases) {
        const QUrl url = HyperlinkTarget(QString::fromUtf8(c.Link), QStringLiteral("/data/reports"));
        if (*c.Expected == '\0')
            EXPECT_TRUE(url.isEmpty()) << c.Link << " -> " << url.toString().toStdString();
        else
            EXPECT_EQ(url.toString(), QString::fromUtf8(c.Expected)) << c.Link;
    }
}
