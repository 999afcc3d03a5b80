// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TrendModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <optional>

namespace kvt {

namespace {

std::optional<TrendModule::Found>& found() {
    static std::optional<TrendModule::Found> answer;
    return answer;
}

} // namespace

void TrendModule::provide(trend::CreateView create) {
    found() = Found{create, {}};
}

QStringList TrendModule::candidates(const QString& applicationDir) {
    const QDir dir(applicationDir);
    QStringList paths{dir.filePath(QLatin1String(FileName))};
    // From the installed program's folder to its private library folder (set at configure time).
    const QString installed = dir.filePath(QStringLiteral(KVT_TREND_MODULE_FROM_BINDIR "/") + QLatin1String(FileName));
    paths.append(QDir::cleanPath(installed));
    return paths;
}

TrendModule::Found TrendModule::load(const QStringList& paths) {
    QString path;
    for (const QString& candidate : paths) {
        if (QFileInfo(candidate).isFile()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        return {nullptr, QStringLiteral("the trend window's module %1 is not installed (looked for %2)")
                             .arg(QLatin1String(FileName), paths.join(QStringLiteral(", ")))};
    }
    // Every symbol is bound at load, so a module that does not fit the program fails here with
    // the loader's message instead of when one of its functions is first called. The library is
    // never unloaded: the window's code stays in use until the program ends.
    QLibrary library(path);
    library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!library.load())
        return {nullptr, QStringLiteral("cannot load the trend window's module: %1").arg(library.errorString())};
    auto interfaceOf = reinterpret_cast<trend::InterfaceOf>(library.resolve(trend::InterfaceSymbol));
    auto create = reinterpret_cast<trend::CreateView>(library.resolve(trend::CreateViewSymbol));
    const QByteArray expected = trend::interfaceTag();
    if (!interfaceOf || !create || expected != interfaceOf()) {
        const QString tag = interfaceOf ? QString::fromLatin1(interfaceOf()) : QStringLiteral("none");
        return {nullptr, QStringLiteral("the trend window's module %1 does not belong to this program "
                                        "(interface %2, this program needs %3)")
                             .arg(path, tag, QString::fromLatin1(expected))};
    }
    return {create, {}};
}

TrendModule::Found TrendModule::find() {
    if (!found() || !found()->create)
        found() = load(candidates(QCoreApplication::applicationDirPath()));
    return *found();
}

} // namespace kvt
