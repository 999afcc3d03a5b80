// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace kvt {

// The three controller models. Each identifies itself by its USB product string, and several
// lists, limits and labels depend on it.
enum class Model { Kvt318, Kvt317, PxaKvt };

// The model whose product string is exactly `productString`; none for any other device.
inline std::optional<Model> modelFromProduct(const QString& productString) {
    if (productString == QLatin1String("KVT318"))
        return Model::Kvt318;
    if (productString == QLatin1String("KVT317"))
        return Model::Kvt317;
    if (productString == QLatin1String("PXA-KVT"))
        return Model::PxaKvt;
    return std::nullopt;
}

inline QString productString(Model model) {
    switch (model) {
    case Model::Kvt318:
        return QStringLiteral("KVT318");
    case Model::Kvt317:
        return QStringLiteral("KVT317");
    case Model::PxaKvt:
        break;
    }
    return QStringLiteral("PXA-KVT");
}

} // namespace kvt
