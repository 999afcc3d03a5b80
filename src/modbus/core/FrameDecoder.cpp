// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/core/FrameDecoder.h"

#include "modbus/core/Crc.h"

namespace kvt::modbus {

namespace {

quint16 be16(QByteArrayView b, qsizetype at) {
    return quint16((quint8(b[at]) << 8) | quint8(b[at + 1]));
}

// Coils or inputs a read of `count` returns, eight a byte.
int bitBytes(int count) {
    return (count + 7) / 8;
}

void takeWords(DecodedFrame& f, QByteArrayView data, qsizetype from) {
    for (qsizetype at = from; at + 1 < data.size(); at += 2)
        f.words.append(be16(data, at));
}

// Fills the fields of function `fc` from `data`, the bytes between the function code and the CRC.
// `preferResponse` settles the one ambiguous shape: four data bytes of a coil or input read,
// which are a request or a response carrying three status bytes.
void decodeBody(DecodedFrame& f, int fc, QByteArrayView data, bool preferResponse) {
    const qsizetype n = data.size();
    const auto addressAndCount = [&] {
        f.start = be16(data, 0);
        f.count = be16(data, 2);
    };
    switch (fc) {
    case 1:
    case 2:
        if (n == 4 && !(preferResponse && quint8(data[0]) == 3)) {
            f.kind = FrameKind::Request;
            addressAndCount();
            f.lengthOk = true;
        } else if (n >= 1 && n == 1 + quint8(data[0])) {
            f.kind = FrameKind::Response;
            f.byteCount = quint8(data[0]);
            f.bits = data.sliced(1).toByteArray();
            f.lengthOk = f.byteCount > 0;
        } else {
            f.kind = n > 4 ? FrameKind::Request : FrameKind::Response;
        }
        return;
    case 3:
    case 4:
        if (n == 4) {
            f.kind = FrameKind::Request;
            addressAndCount();
            f.lengthOk = true;
        } else if (n >= 1 && n == 1 + quint8(data[0])) {
            f.kind = FrameKind::Response;
            f.byteCount = quint8(data[0]);
            takeWords(f, data, 1);
            f.lengthOk = f.byteCount > 0 && f.byteCount % 2 == 0;
        } else {
            f.kind = n > 4 ? FrameKind::Request : FrameKind::Response;
        }
        return;
    case 5:
    case 6:
        // The response repeats the request.
        f.kind = FrameKind::Request;
        if (n == 4) {
            f.start = be16(data, 0);
            f.words.append(be16(data, 2));
            f.wordsStart = fc == 6 ? f.start : -1;
            f.lengthOk = true;
        }
        return;
    case 8:
        f.kind = FrameKind::Request;
        if (n >= 2 && n % 2 == 0) {
            f.subFunction = be16(data, 0);
            takeWords(f, data, 2);
            f.lengthOk = true;
        }
        return;
    case 15:
    case 16:
        if (n == 4) {
            f.kind = FrameKind::Response;
            addressAndCount();
            f.lengthOk = true;
        } else if (n >= 5 && n == 5 + quint8(data[4])) {
            f.kind = FrameKind::Request;
            addressAndCount();
            f.byteCount = quint8(data[4]);
            if (fc == 15) {
                f.bits = data.sliced(5).toByteArray();
                f.lengthOk = f.count > 0 && f.byteCount == bitBytes(f.count);
            } else {
                takeWords(f, data, 5);
                f.wordsStart = f.start;
                f.lengthOk = f.count > 0 && f.byteCount == 2 * f.count;
            }
        } else {
            f.kind = n > 4 ? FrameKind::Request : FrameKind::Response;
        }
        return;
    default:
        f.kind = FrameKind::Unknown;
        f.lengthOk = true; // nothing is known about its length
        return;
    }
}

DecodedFrame decodeWith(QByteArrayView frame, bool preferResponse) {
    DecodedFrame f;
    f.bytes = frame.toByteArray();
    const qsizetype n = frame.size();
    if (n >= 1)
        f.slave = quint8(frame[0]);
    if (n >= 2)
        f.function = quint8(frame[1]);
    if (n < 4)
        return f; // too short for a CRC: nothing more is read
    f.crcChecked = true;
    f.crcSent = quint16(quint8(frame[n - 2]) | (quint8(frame[n - 1]) << 8));
    f.crcExpected = modbusCrc(frame.first(n - 2));
    f.crcOk = f.crcSent == f.crcExpected;
    const QByteArrayView data = frame.sliced(2, n - 4);
    if (f.function & 0x80) {
        f.kind = FrameKind::Exception;
        if (!data.isEmpty())
            f.exceptionCode = quint8(data[0]);
        f.lengthOk = data.size() == 1;
        return f;
    }
    decodeBody(f, f.function, data, preferResponse);
    return f;
}

} // namespace

bool DecodedFrame::knownFunction() const {
    switch (baseFunction()) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 8:
    case 15:
    case 16:
        return true;
    default:
        return false;
    }
}

DecodedFrame decodeFrame(QByteArrayView frame) {
    return decodeWith(frame, false);
}

DecodedFrame FrameDecoder::decode(QByteArrayView frame) {
    const bool awaitingBits = pending_ && frame.size() >= 2 && quint8(frame[0]) == pending_->slave &&
                              quint8(frame[1]) == pending_->function && pending_->function <= 2 &&
                              bitBytes(pending_->count) == 3;
    DecodedFrame f = decodeWith(frame, awaitingBits);
    const int fc = f.function;
    if (f.kind == FrameKind::Request && f.lengthOk && fc >= 1 && fc <= 4) {
        pending_ = PendingRead{f.slave, fc, f.start, f.count};
    } else if (pending_ && f.slave == pending_->slave && f.baseFunction() == pending_->function &&
               (f.kind == FrameKind::Response || f.kind == FrameKind::Exception)) {
        // Register values of the answer belong to the registers the request named.
        if (f.kind == FrameKind::Response && fc >= 3 && f.words.size() == pending_->count)
            f.wordsStart = pending_->start;
        if (f.kind == FrameKind::Response)
            f.start = pending_->start;
        pending_.reset();
    }
    return f;
}

QList<RegisterPairValue> userRegisterPairs(const DecodedFrame& frame) {
    QList<RegisterPairValue> pairs;
    if (frame.wordsStart < 0)
        return pairs;
    for (int i = 0; i + 1 < frame.words.size(); ++i) {
        const int reg = frame.wordsStart + i;
        if (reg % 2 != 0 || reg < FirstUserRegister || reg + 1 > LastUserRegister)
            continue;
        // The low half in the pair's first register, as the register view reads it.
        pairs.append({reg, quint32(frame.words[i]) | (quint32(frame.words[i + 1]) << 16)});
    }
    return pairs;
}

QStringList DecodeTexts::keys() {
    QStringList k{QStringLiteral("MB_SLAVE"),        QStringLiteral("MB_REQUEST"),
                  QStringLiteral("MB_RESPONSE"),     QStringLiteral("MB_EXCEPTION"),
                  QStringLiteral("MB_START"),        QStringLiteral("MB_COUNT"),
                  QStringLiteral("MB_BYTES"),        QStringLiteral("MB_VALUES"),
                  QStringLiteral("MB_VALUE"),        QStringLiteral("MB_SUBFUNCTION"),
                  QStringLiteral("MB_ON"),           QStringLiteral("MB_OFF"),
                  QStringLiteral("MB_CRC_ERROR"),    QStringLiteral("MB_BAD_LENGTH"),
                  QStringLiteral("MB_UNKNOWN_FUNCTION"), QStringLiteral("MB_UNKNOWN_EXCEPTION")};
    for (const int fc : {1, 2, 3, 4, 5, 6, 8, 15, 16})
        k.append(QStringLiteral("MB_FC_%1").arg(fc));
    for (const int code : {1, 2, 3, 4, 5, 6, 8, 10, 11})
        k.append(QStringLiteral("MB_EX_%1").arg(code));
    return k;
}

DecodeTexts DecodeTexts::fromLookup(const std::function<QString(const QString& key)>& text) {
    DecodeTexts t;
    t.slave = text(QStringLiteral("MB_SLAVE"));
    t.request = text(QStringLiteral("MB_REQUEST"));
    t.response = text(QStringLiteral("MB_RESPONSE"));
    t.exception = text(QStringLiteral("MB_EXCEPTION"));
    t.start = text(QStringLiteral("MB_START"));
    t.count = text(QStringLiteral("MB_COUNT"));
    t.bytes = text(QStringLiteral("MB_BYTES"));
    t.values = text(QStringLiteral("MB_VALUES"));
    t.value = text(QStringLiteral("MB_VALUE"));
    t.subFunction = text(QStringLiteral("MB_SUBFUNCTION"));
    t.on = text(QStringLiteral("MB_ON"));
    t.off = text(QStringLiteral("MB_OFF"));
    t.crcError = text(QStringLiteral("MB_CRC_ERROR"));
    t.badLength = text(QStringLiteral("MB_BAD_LENGTH"));
    t.unknownFunction = text(QStringLiteral("MB_UNKNOWN_FUNCTION"));
    t.unknownException = text(QStringLiteral("MB_UNKNOWN_EXCEPTION"));
    for (const int fc : {1, 2, 3, 4, 5, 6, 8, 15, 16})
        t.functions.insert(fc, text(QStringLiteral("MB_FC_%1").arg(fc)));
    for (const int code : {1, 2, 3, 4, 5, 6, 8, 10, 11})
        t.exceptions.insert(code, text(QStringLiteral("MB_EX_%1").arg(code)));
    return t;
}

QString functionName(int functionCode, const DecodeTexts& texts) {
    const auto it = texts.functions.constFind(functionCode);
    return it != texts.functions.cend() ? *it : texts.unknownFunction.arg(functionCode);
}

QString kindToken(FrameKind kind) {
    switch (kind) {
    case FrameKind::Request:
        return QStringLiteral("request");
    case FrameKind::Response:
        return QStringLiteral("response");
    case FrameKind::Exception:
        return QStringLiteral("exception");
    case FrameKind::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

QString hexBytes(QByteArrayView bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    QString s;
    s.reserve(3 * bytes.size());
    for (const char c : bytes) {
        if (!s.isEmpty())
            s += QLatin1Char(' ');
        s += QLatin1Char(Digits[quint8(c) >> 4]);
        s += QLatin1Char(Digits[quint8(c) & 0x0F]);
    }
    return s;
}

QString describe(const DecodedFrame& f, const DecodeTexts& t, RegisterView view) {
    if (f.slave < 0)
        return t.badLength;
    const QString separator = QStringLiteral("; ");
    QString s = t.slave.arg(f.slave);
    const auto add = [&](const QString& part) {
        s += separator;
        s += part;
    };
    if (f.function >= 0) {
        const QString code = QStringLiteral("%1").arg(f.function, 2, 16, QLatin1Char('0')).toUpper();
        add(code + QLatin1Char(' ') + functionName(f.baseFunction(), t));
    }
    switch (f.kind) {
    case FrameKind::Request:
        add(t.request);
        break;
    case FrameKind::Response:
        add(t.response);
        break;
    case FrameKind::Exception: {
        const auto name = t.exceptions.constFind(f.exceptionCode);
        if (f.exceptionCode >= 0)
            add(t.exception.arg(QStringLiteral("%1").arg(f.exceptionCode, 2, 16, QLatin1Char('0')).toUpper(),
                                name != t.exceptions.cend() ? *name : t.unknownException));
        break;
    }
    case FrameKind::Unknown:
        break;
    }
    if (f.subFunction >= 0)
        add(t.subFunction.arg(f.subFunction));
    if (f.start >= 0)
        add(t.start.arg(f.start));
    if (f.count >= 0)
        add(t.count.arg(f.count));
    if (f.byteCount >= 0)
        add(t.bytes.arg(f.byteCount));
    if (f.baseFunction() == 5 && f.words.size() == 1 && f.kind != FrameKind::Exception) {
        const quint16 v = f.words.first();
        add(t.value.arg(v == 0xFF00 ? t.on : v == 0 ? t.off : QString::number(v)));
    } else if (!f.words.isEmpty()) {
        QStringList values;
        values.reserve(f.words.size());
        for (const quint16 w : f.words)
            values.append(QString::number(w));
        add((f.words.size() == 1 ? t.value : t.values).arg(values.join(QLatin1Char(' '))));
    } else if (!f.bits.isEmpty()) {
        add(t.values.arg(hexBytes(f.bits)));
    }
    for (const RegisterPairValue& pair : userRegisterPairs(f))
        add(QStringLiteral("R%1-%2 = %3")
                .arg(pair.firstRegister)
                .arg(pair.firstRegister + 1)
                .arg(registerText(pair.value, view)));
    if (!f.lengthOk)
        add(t.badLength);
    if (f.crcError())
        add(t.crcError.arg(QStringLiteral("%1").arg(f.crcSent, 4, 16, QLatin1Char('0')).toUpper(),
                           QStringLiteral("%1").arg(f.crcExpected, 4, 16, QLatin1Char('0')).toUpper()));
    return s;
}

} // namespace kvt::modbus
