#include "documentcheck.h"

#include "fieldrules.h"
#include "modstring.h"
#include "scriptreader.h"
#include "scriptwriter.h"

#include <QSet>

namespace documentcheck {

namespace {

using fieldrules::NumericField;

struct Setting {
    const char* field;
    QString clsScroller::*value;
    NumericField range;
};

const Setting kSettings[] = {
    {"width", &clsScroller::sWidth, NumericField::ScrWidth},
    {"height", &clsScroller::sHeight, NumericField::ScrHeight},
    {"scrollSpeed", &clsScroller::sSpeed, NumericField::ScrSpeed},
    {"itemWidth", &clsScroller::sDefWidth, NumericField::ScrDefWidth},
    {"spacing", &clsScroller::sSpacing, NumericField::ScrSpacing},
    {"pause", &clsScroller::sPause, NumericField::ScrPause},
};

QString itemField(qsizetype i, const char* part) {
    return QStringLiteral("items[%1].%2").arg(i).arg(QLatin1String(part));
}

// The fields whose value the script would not give back.
QStringList readBackDifferences(const ScrollerDocument& doc) {
    const ScrollerDocument expected = scriptwriter::asWritten(doc);
    TextEncoding used;
    const QByteArray bytes = textencoding::encode(
        scriptwriter::BuildScript(doc) + QStringLiteral("\r\n"), doc.encoding, &used);
    ScrollerDocument back;
    const scriptreader::LoadResult r = scriptreader::LoadScrollerBytes(bytes, back);
    QStringList fields;
    if (!r.ok)
        fields << QStringLiteral("document");
    const clsScroller& e = expected.scroller;
    const clsScroller& b = back.scroller;
    if (b.sName != e.sName)
        fields << QStringLiteral("name");
    for (const Setting& s : kSettings)
        if (b.*s.value != e.*s.value)
            fields << QLatin1String(s.field);
    if (b.iDirn != e.iDirn)
        fields << QStringLiteral("direction");
    if ((b.iMsePause == 0) != (e.iMsePause == 0))
        fields << QStringLiteral("pauseOnMouseover");
    for (qsizetype i = 0; i < expected.items.size(); ++i) {
        const clsItem& ei = expected.items[i];
        const clsItem gi = back.items.value(i);
        if (i >= back.items.size()) {
            fields << QStringLiteral("items[%1]").arg(i);
            continue;
        }
        if (gi.sName != ei.sName)
            fields << itemField(i, "name");
        if (gi.sText != ei.sText)
            fields << itemField(i, "text");
        if (gi.sWidth != ei.sWidth)
            fields << itemField(i, "width");
    }
    if (back.items.size() > expected.items.size())
        fields << QStringLiteral("items");
    return fields;
}

} // namespace

QList<Problem> ruleProblems(const ScrollerDocument& doc) {
    QList<Problem> out;
    QSet<QString> named;
    const auto add = [&](const QString& field, const QString& message) {
        if (message.isEmpty() || named.contains(field))
            return;
        named.insert(field);
        out.append({field, message});
    };
    add(QStringLiteral("name"), fieldrules::CheckVariableName(doc.scroller.sName));
    for (const Setting& s : kSettings)
        add(QLatin1String(s.field), fieldrules::rangeProblem(doc.scroller.*s.value, s.range));
    for (qsizetype i = 0; i < doc.items.size(); ++i) {
        const clsItem& item = doc.items[i];
        add(itemField(i, "name"), modString::scriptStringProblem(item.sName));
        add(itemField(i, "text"), modString::scriptStringProblem(item.sText));
        add(itemField(i, "width"), modString::scriptStringProblem(item.sWidth));
        add(itemField(i, "width"), fieldrules::rangeProblem(item.sWidth, NumericField::ItmWidth));
    }
    return out;
}

QList<Problem> problems(const ScrollerDocument& doc) {
    QList<Problem> out = ruleProblems(doc);
    // Whatever the rules let through must still come back from the script as it was.
    if (out.isEmpty()) {
        for (const QString& field : readBackDifferences(doc))
            out.append({field, QStringLiteral("The script would not give this value back as it "
                                              "is; it holds characters the file cannot carry.")});
    }
    return out;
}

} // namespace documentcheck
