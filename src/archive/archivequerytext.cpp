// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archivequerytext.h"

#include "platform/emftext/textfold.h"

#include <algorithm>
#include <string>

namespace {

void AddTerms(const QString& Folded, bool LastIsPrefix, std::vector<TArchiveTerm>& Terms)
{
    const size_t first = Terms.size();
    ForEachArchiveToken(Folded, [&](int From, int Length) { Terms.push_back({Folded.mid(From, Length), false}); });
    if (LastIsPrefix && Terms.size() > first)
        Terms.back().Prefix = true;
}

} // namespace

int ReadQuotedPhrase(const QString& Text, int Open, QString& Phrase)
{
    const int n = Text.size();
    int j = Open + 1;
    for (; j < n; ++j) {
        if (Text[j] == u'"') {
            if (j + 1 < n && Text[j + 1] == u'"') {
                Phrase += u'"';
                ++j;
                continue;
            }
            break;
        }
        Phrase += Text[j];
    }
    return std::min(n, j + 1);
}

QString ArchiveFtsMatch(const QString& Text, unsigned Fold, std::vector<TArchiveTerm>* Terms)
{
    std::vector<TArchiveTerm> terms;
    QString out;
    const int n = Text.size();
    for (int i = 0; i < n;) {
        const QChar c = Text[i];
        if (c.isSpace()) {
            out += u' ';
            ++i;
        } else if (c == u'"') {
            QString phrase;
            i = ReadQuotedPhrase(Text, i, phrase);
            const bool prefix = i < n && Text[i] == u'*';
            const QString folded = FoldText(phrase, Fold);
            AddTerms(folded, prefix, terms);
            out += u'"' + QString(folded).replace(u'"', QStringLiteral("\"\"")) + u'"';
            if (prefix) {
                out += u'*';
                ++i;
            }
        } else if (c == u'(' || c == u')') {
            out += c;
            ++i;
        } else {
            int j = i;
            while (j < n && !Text[j].isSpace() && Text[j] != u'"' && Text[j] != u'(' && Text[j] != u')')
                ++j;
            QString word = Text.mid(i, j - i);
            i = j;
            if (word == u"AND" || word == u"OR" || word == u"NOT" || word == u"NEAR") {
                out += word;
                continue;
            }
            const bool prefix = word.endsWith(u'*');
            if (prefix)
                word.chop(1);
            const QString folded = FoldText(word, Fold);
            if (std::none_of(folded.begin(), folded.end(), IsTokenChar))
                continue; // punctuation alone matches nothing in the index
            AddTerms(folded, prefix, terms);
            if (std::all_of(folded.begin(), folded.end(),
                            [](QChar q) { return IsTokenChar(q) || q == u'_' || q.unicode() > 0x7f; }))
                out += folded;
            else
                out += u'"' + QString(folded).replace(u'"', QStringLiteral("\"\"")) + u'"';
            if (prefix)
                out += u'*';
        }
    }
    if (terms.empty())
        throw EArchiveIndex("the query has no words to look for");
    if (terms.size() > size_t(ArchiveQueryMaxWords))
        throw EArchiveQueryTooLong("the query has " + std::to_string(terms.size()) + " words; at most " +
                                   std::to_string(ArchiveQueryMaxWords) + " are looked for at once");
    if (Terms)
        *Terms = std::move(terms);
    return QString(Fold & FoldDiacritics ? "a" : "c") + QStringLiteral(" : (") + out.trimmed() + u')';
}

void ArchiveSnippet(const QString& Text, unsigned Fold, const std::vector<TArchiveTerm>& Terms, TIndexHit& Hit)
{
    struct TLine {
        int From, To, Words, Run;
        std::vector<std::pair<int, int>> Marks;
    };
    const QString folded = FoldText(Text, Fold);
    std::vector<TLine> found;
    for (int start = 0; start <= Text.size();) {
        int end = Text.indexOf(u'\n', start);
        if (end < 0)
            end = Text.size();
        TLine line{start, end, 0, 0, {}};
        std::vector<bool> seen(Terms.size(), false);
        // run[t]: how many query words up to the t-th stand in order just
        // before and at this word.
        std::vector<int> run(Terms.size(), 0), next(Terms.size());
        ForEachArchiveToken(QStringView(folded).mid(start, end - start), [&](int From, int Length) {
            const QStringView token = QStringView(folded).mid(start + From, Length);
            bool marked = false;
            for (size_t t = 0; t < Terms.size(); ++t) {
                const bool match = Terms[t].Prefix ? token.startsWith(Terms[t].Word) : token == Terms[t].Word;
                next[t] = match ? (t ? run[t - 1] : 0) + 1 : 0;
                line.Run = std::max(line.Run, next[t]);
                if (match && !marked) {
                    line.Marks.emplace_back(start + From, Length);
                    marked = true;
                    if (!seen[t])
                        ++line.Words;
                    seen[t] = true;
                }
            }
            run.swap(next);
        });
        if (line.Words)
            found.push_back(std::move(line));
        start = end + 1;
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const TLine& A, const TLine& B) { return A.Run != B.Run ? A.Run > B.Run : A.Words > B.Words; });
    if (found.size() > 3)
        found.resize(3);
    std::sort(found.begin(), found.end(), [](const TLine& A, const TLine& B) { return A.From < B.From; });
    for (const TLine& l : found) {
        int from = l.From, to = l.To;
        while (from < to && Text[from].isSpace())
            ++from;
        while (to > from && Text[to - 1].isSpace())
            --to;
        if (!Hit.Snippet.isEmpty())
            Hit.Snippet += QStringLiteral(" … ");
        const int offset = Hit.Snippet.size() - from;
        Hit.Snippet += Text.mid(from, to - from);
        for (const auto& [s, n] : l.Marks)
            Hit.Marks.emplace_back(s + offset, n);
    }
}

QString ArchiveFtsQuery(const QString& Text, unsigned Fold)
{
    return ArchiveFtsMatch(Text, Fold | FoldCase, nullptr);
}

std::vector<QString> ArchiveQueryWords(const QString& Text)
{
    std::vector<TArchiveTerm> terms;
    ArchiveFtsMatch(Text, FoldCase, &terms);
    std::vector<QString> words;
    for (const TArchiveTerm& t : terms) {
        const QString w = t.Prefix ? t.Word + u'*' : t.Word;
        if (std::find(words.begin(), words.end(), w) == words.end())
            words.push_back(w);
    }
    return words;
}
