#include "fieldrules.h"

#include "numberrule.h"

#include <QSet>

namespace fieldrules {

Bounds bounds(NumericField f) {
    switch (f) {
    case NumericField::ScrWidth:
    case NumericField::ScrHeight:
    case NumericField::ScrDefWidth:
    case NumericField::ItmWidth:
        return {10, 2000, 10};
    case NumericField::ScrSpeed:
        return {5, 1000, 10};
    case NumericField::ScrSpacing:
        return {0, 50, 1};
    case NumericField::ScrPause:
        return {0, 50000, 100};
    }
    return {0, 0, 1};
}

QString rangeMessage(const Bounds& b) {
    return QStringLiteral("Please Enter A Value Between %1 And %2").arg(b.min).arg(b.max);
}

bool inRange(QStringView text, const Bounds& b) {
    if (text.isEmpty())
        return true;
    const std::optional<double> v = numberrule::parse(text);
    return v && *v >= b.min && *v <= b.max;
}

QString CheckVariableName(QStringView sText) {
    if (sText.isEmpty())
        return QStringLiteral("Scroller name must not be blank.");
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (isDigit(sText.front()))
        return QStringLiteral("Scroller name must not start with a number.");
    for (QChar c : sText) {
        const bool ok =
            isDigit(c) || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
        if (!ok)
            return QStringLiteral("Scroller name must contain only alphanumeric characters.");
    }
    if (isTakenName(sText))
        return QStringLiteral("Scroller name must not be \"%1\", a name that JavaScript or the web "
                              "page already uses.")
            .arg(sText);
    return {};
}

bool isTakenName(QStringView name) {
    // The script makes the name a variable of the page: a reserved word breaks the script, and
    // a name the browser or the runtime already holds is replaced, or navigates the page away.
    static const QSet<QString> taken = [] {
        const char* const words[] = {
            // Reserved words and literals, also those of strict code.
            "await", "break", "case", "catch", "class", "const", "continue", "debugger", "default",
            "delete", "do", "else", "enum", "export", "extends", "false", "finally", "for",
            "function", "if", "implements", "import", "in", "instanceof", "interface", "let", "new",
            "null", "package", "private", "protected", "public", "return", "static", "super",
            "switch", "this", "throw", "true", "try", "typeof", "var", "void", "while", "with",
            "yield", "arguments", "eval", "undefined", "NaN", "Infinity", "globalThis",
            // The window and what it must keep.
            "window", "self", "top", "parent", "frames", "opener", "closed", "length", "location",
            "document", "name", "status", "history", "navigator", "screen", "frameElement",
            "origin", "event", "external", "customElements", "localStorage", "sessionStorage",
            "console", "performance", "crypto", "alert", "confirm", "prompt", "print", "open",
            "close", "stop", "focus", "blur", "scroll", "scrollTo", "scrollBy", "find",
            "postMessage", "setTimeout", "setInterval", "clearTimeout", "clearInterval",
            "requestAnimationFrame", "cancelAnimationFrame", "fetch", "matchMedia",
            "getComputedStyle", "addEventListener", "removeEventListener", "dispatchEvent",
            "innerWidth", "innerHeight", "devicePixelRatio", "Object", "Array", "String", "Number",
            "Boolean", "Math", "JSON", "Date", "RegExp", "Function", "Symbol", "Promise", "Error",
            "Map", "Set", "ResizeObserver", "Element", "Node",
            // Event handlers of the page; the script itself sets onload and onresize.
            "onload", "onunload", "onbeforeunload", "onresize", "onscroll", "onerror", "onfocus",
            "onblur", "onclick", "ondblclick", "onmousedown", "onmouseup", "onmousemove",
            "onmouseover", "onmouseout", "onkeydown", "onkeyup", "onkeypress", "onhashchange",
            "onpopstate", "onmessage", "onpageshow", "onpagehide", "onstorage", "oninput",
            "onchange", "onsubmit", "onwheel", "ontouchstart", "ontouchend", "ontouchmove",
            "onpointerdown", "onpointerup", "onpointermove", "onvisibilitychange",
            "onorientationchange", "ononline", "onoffline",
            // The runtime's own names.
            "Tickora", "TickoLib"};
        QSet<QString> s;
        for (const char* w : words)
            s.insert(QString::fromLatin1(w));
        return s;
    }();
    return taken.contains(name.toString());
}

} // namespace fieldrules
