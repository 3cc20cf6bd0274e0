#include "BuiltInTone.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zembra {

namespace {

constexpr int kRate = 22050;
constexpr double kPitchHz = 1760.0; // high enough to cut through, low enough for small speakers
constexpr double kBeepSeconds = 0.12;
constexpr double kGapSeconds = 0.08;
constexpr double kPauseSeconds = 0.6;
constexpr int kBeepsPerGroup = 4;
constexpr int kGroups = 2;
constexpr double kAmplitude = 0.7 * 32767;
// Each beep swells in and out over a few milliseconds: a hard edge clicks in the speaker.
constexpr double kEdgeSeconds = 0.005;

void AppendSilence(QVector<qint16>& samples, double seconds)
{
    samples.resize(samples.size() + static_cast<int>(seconds * kRate));
}

void AppendBeep(QVector<qint16>& samples)
{
    const int count = static_cast<int>(kBeepSeconds * kRate);
    const int edge = static_cast<int>(kEdgeSeconds * kRate);
    for (int i = 0; i < count; ++i) {
        const double envelope = std::min({1.0, double(i) / edge, double(count - 1 - i) / edge});
        const double value = std::sin(2 * std::numbers::pi * kPitchHz * i / kRate);
        samples.append(static_cast<qint16>(std::lround(kAmplitude * envelope * value)));
    }
}

} // namespace

QByteArray BuiltInToneWav()
{
    QVector<qint16> samples;
    for (int group = 0; group < kGroups; ++group) {
        for (int beep = 0; beep < kBeepsPerGroup; ++beep) {
            AppendBeep(samples);
            AppendSilence(samples, kGapSeconds);
        }
        AppendSilence(samples, kPauseSeconds);
    }

    const auto dataBytes = static_cast<quint32>(samples.size() * 2);
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(kRate) << quint32(kRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (const qint16 sample : samples) {
        out << sample;
    }
    return wav;
}

} // namespace zembra
