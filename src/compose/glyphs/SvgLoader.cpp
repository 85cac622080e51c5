#include "SvgLoader.h"

#include "BuildInfo.h"
#include "common/SvgLoaderWire.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <cairo-script-interpreter.h>
#include <cairo.h>

#include <cstring>

namespace vexilo {

namespace {

using namespace wire;

std::string headerOf(double renderScale, double recordScale)
{
    std::string header;
    putValue(header, kWireMagic);
    putValue(header, renderScale);
    putValue(header, recordScale);
    return header;
}

// A rendering of the size asked for, or a null image.
QImage imageFrom(Reader &reader, Box box, double renderScale)
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (!reader.value(width) || !reader.value(height) ||
        width != scaledSide(box.width, renderScale) ||
        height != scaledSide(box.height, renderScale))
        return {};
    const char *pixels = reader.bytes(std::size_t(width) * std::size_t(height) * 4);
    if (pixels == nullptr)
        return {};
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), pixels + std::size_t(y) * std::size_t(width) * 4,
                    std::size_t(width) * 4);
    return image;
}

QByteArray scriptFrom(Reader &reader)
{
    std::uint32_t size = 0;
    if (!reader.value(size) || size == 0 || size > kMaxScriptBytes)
        return {};
    const char *script = reader.bytes(size);
    return script != nullptr ? QByteArray(script, qsizetype(size)) : QByteArray();
}

QStringList loaderArguments(const SvgLoadLimits &limits)
{
    return {QStringLiteral("--cpu"), QString::number(limits.cpuSeconds), QStringLiteral("--memory"),
            QString::number(limits.memoryMb)};
}

// Resident memory bounds a sanitized loader, whose address space cannot be.
QProcessEnvironment loaderEnvironment(const SvgLoadLimits &limits)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
#ifdef VEXILO_SANITIZED
    QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
    if (!asan.isEmpty())
        asan += QLatin1Char(':');
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       asan + QStringLiteral("hard_rss_limit_mb=%1:allocator_may_return_null=1")
                                  .arg(limits.memoryMb));
#else
    Q_UNUSED(limits);
#endif
    return environment;
}

} // namespace

std::uint32_t SvgDocuments::variants() const
{
    std::uint32_t mask = 0;
    for (std::size_t tint = 0; tint < byTint.size(); ++tint)
        if (!byTint[tint].isEmpty())
            mask |= std::uint32_t(1) << tint;
    return mask;
}

std::optional<SvgDrawn> decodeLoaderAnswer(const char *bytes, std::size_t size, double renderScale,
                                           double recordScale, std::size_t &used,
                                           std::uint32_t variants)
{
    static_assert(kGlyphTints == kMaxVariants);
    Reader reader(bytes, size);
    SvgDrawn drawn;
    std::uint32_t status = 0;
    double width = 0;
    double height = 0;
    const bool complete = [&] {
        if (!validVariants(variants) || !reader.value(status) || status != kGlyphOk ||
            !reader.value(width) || !reader.value(height) || !reader.value(drawn.recordScale))
            return false;
        const Box box = boxOf(width, height);
        if (box.empty() || !(drawn.recordScale >= kMinScale && drawn.recordScale <= recordScale))
            return false;
        drawn.exact = QSizeF(width, height);
        for (std::size_t variant = 0; variant < drawn.images.size(); ++variant) {
            if ((variants & (std::uint32_t(1) << variant)) == 0)
                continue;
            drawn.images[variant] = imageFrom(reader, box, renderScale);
            drawn.scripts[variant] = scriptFrom(reader);
            if (drawn.images[variant].isNull() || drawn.scripts[variant].isEmpty())
                return false;
        }
        return true;
    }();
    // An answer still coming is waited for; a refusal or anything out of bounds ends the
    // answers, as the loader is not to be trusted further.
    used = complete || !reader.ranShort() ? std::max<std::size_t>(reader.used(), 1) : 0;
    return complete ? std::optional<SvgDrawn>(std::move(drawn)) : std::nullopt;
}

struct SvgLoaderRun::Process
{
    QProcess loader;
    QDeadlineTimer deadline;
    double renderScale = 1;
    double recordScale = 1;
    std::vector<std::uint32_t> sent; // the variants of each glyph sent
    bool started = false;
};

SvgLoaderRun::SvgLoaderRun(double renderScale, double recordScale, const SvgLoadLimits &limits)
    : m_process(std::make_unique<Process>())
{
    Process &p = *m_process;
    p.deadline = QDeadlineTimer(limits.deadlineMs);
    p.renderScale = renderScale;
    p.recordScale = recordScale;
    const QString program = svgLoaderProgram();
    if (program.isEmpty())
        return;
    p.loader.setProgram(program);
    p.loader.setArguments(loaderArguments(limits));
    p.loader.setProcessEnvironment(loaderEnvironment(limits));
    // What librsvg has to say about a drawing is no message of this program's.
    p.loader.setStandardErrorFile(QProcess::nullDevice());
    p.loader.start();
    const std::string header = headerOf(renderScale, recordScale);
    p.loader.write(header.data(), qint64(header.size()));
    p.started = true;
}

SvgLoaderRun::~SvgLoaderRun()
{
    if (m_process->loader.state() != QProcess::NotRunning) {
        m_process->loader.kill();
        m_process->loader.waitForFinished(-1);
    }
}

void SvgLoaderRun::send(const SvgDocuments &documents)
{
    Process &p = *m_process;
    const std::uint32_t variants = documents.variants();
    if (!p.started || p.sent.size() >= kMaxGlyphs || !validVariants(variants))
        return;
    std::string glyph;
    putValue(glyph, variants);
    for (const QByteArray &document : documents.byTint) {
        if (document.isEmpty())
            continue;
        putValue(glyph, std::uint32_t(document.size()));
        put(glyph, document.constData(), std::size_t(document.size()));
    }
    p.loader.write(glyph.data(), qint64(glyph.size()));
    // Hands over what the pipe takes now, without waiting for the loader.
    p.loader.waitForBytesWritten(0);
    p.sent.push_back(variants);
}

std::vector<SvgDrawn> SvgLoaderRun::answers()
{
    Process &p = *m_process;
    std::vector<SvgDrawn> answers;
    if (!p.started || p.sent.empty() ||
        !p.loader.waitForStarted(int(std::max<qint64>(0, p.deadline.remainingTime()))))
        return answers;
    p.loader.closeWriteChannel();
    QByteArray received;
    qsizetype start = 0;
    while (answers.size() < p.sent.size()) {
        std::size_t used = 0;
        auto answer =
            decodeLoaderAnswer(received.constData() + start, std::size_t(received.size() - start),
                               p.renderScale, p.recordScale, used, p.sent[answers.size()]);
        if (used > 0 && !answer)
            break; // refused, or out of bounds
        if (answer) {
            answers.push_back(std::move(*answer));
            start += qsizetype(used);
            if (start > received.size() / 2) {
                received.remove(0, start);
                start = 0;
            }
            continue;
        }
        if (p.deadline.hasExpired())
            break;
        const bool ready = p.loader.waitForReadyRead(int(p.deadline.remainingTime()));
        const QByteArray more = p.loader.readAll();
        if (!ready && more.isEmpty())
            break; // finished, crashed or out of time
        received += more;
    }
    if (answers.size() == p.sent.size())
        p.loader.waitForFinished(int(std::max<qint64>(0, p.deadline.remainingTime())));
    return answers;
}

std::vector<SvgDrawn> drawInLoader(const std::vector<SvgDocuments> &documents, double renderScale,
                                   double recordScale, const SvgLoadLimits &limits)
{
    if (documents.empty() || documents.size() > kMaxGlyphs)
        return {};
    SvgLoaderRun run(renderScale, recordScale, limits);
    for (const SvgDocuments &glyph : documents)
        run.send(glyph);
    return run.answers();
}

namespace {

struct Replay
{
    cairo_surface_t *surface = nullptr;
};

cairo_surface_t *createSurface(void *closure, cairo_content_t content, double width, double height,
                               long)
{
    auto *replay = static_cast<Replay *>(closure);
    const cairo_rectangle_t extents{0, 0, width, height};
    cairo_surface_t *surface = cairo_recording_surface_create(content, &extents);
    if (replay->surface == nullptr)
        replay->surface = cairo_surface_reference(surface);
    return surface;
}

} // namespace

bool replayRecording(const QByteArray &script, double recordScale, cairo_t *cr)
{
    Replay replay;
    cairo_script_interpreter_t *interpreter = cairo_script_interpreter_create();
    cairo_script_interpreter_hooks_t hooks{};
    hooks.closure = &replay;
    hooks.surface_create = createSurface;
    cairo_script_interpreter_install_hooks(interpreter, &hooks);
    const cairo_status_t fed = cairo_script_interpreter_feed_string(
        interpreter, script.constData(), static_cast<int>(script.size()));
    cairo_script_interpreter_finish(interpreter);
    const cairo_status_t finished = cairo_script_interpreter_destroy(interpreter);
    if (replay.surface == nullptr)
        return false;
    bool ok = fed == CAIRO_STATUS_SUCCESS && finished == CAIRO_STATUS_SUCCESS &&
              cairo_surface_status(replay.surface) == CAIRO_STATUS_SUCCESS;
    if (ok) {
        cairo_save(cr);
        cairo_scale(cr, 1 / recordScale, 1 / recordScale);
        cairo_set_source_surface(cr, replay.surface, 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
        ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    }
    cairo_surface_destroy(replay.surface);
    return ok;
}

QString svgLoaderProgram()
{
    const QString name = QStringLiteral("vexilo-svgloader");
    QStringList candidates;
    if (QCoreApplication::instance() != nullptr) {
        const QString folder = QCoreApplication::applicationDirPath();
        candidates << folder + QLatin1Char('/') + name
                   << folder + QStringLiteral("/" VEXILO_SVGLOADER_FROM_BIN);
    }
    // Tests and benchmarks run from their own folders of the build tree.
    candidates << QStringLiteral(VEXILO_SVGLOADER_BUILT);
    for (const QString &candidate : candidates) {
        const QFileInfo file(candidate);
        if (file.isFile() && file.isExecutable())
            return file.absoluteFilePath();
    }
    return {};
}

} // namespace vexilo
