// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bilddatei.h"

#include "fehler.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <utility>

namespace {

// File systems whose files are made up by the kernel as they are read: their
// sizes say nothing, some never end (/proc/self/pagemap), some block
// (/proc/kmsg), and what they hold are secrets of this computer.
bool systemdateisystem(const struct statfs &fs)
{
    static constexpr unsigned long arten[] = {
        PROC_SUPER_MAGIC, SYSFS_MAGIC,   DEBUGFS_MAGIC,  SECURITYFS_MAGIC, CGROUP_SUPER_MAGIC,
        CGROUP2_SUPER_MAGIC, TRACEFS_MAGIC, EFIVARFS_MAGIC, BPF_FS_MAGIC,   PSTOREFS_MAGIC,
        DEVPTS_SUPER_MAGIC, SELINUX_MAGIC, SMACK_MAGIC,  BINFMTFS_MAGIC,  NSFS_MAGIC,
        0x62656570 /* configfs */, 0x65735543 /* fusectl */,
    };
    const auto art = static_cast<unsigned long>(fs.f_type) & 0xFFFFFFFFul;
    return std::find(std::begin(arten), std::end(arten), art) != std::end(arten);
}

unsigned le16(const std::string &b, std::size_t i)
{
    return unsigned(static_cast<unsigned char>(b[i])) | unsigned(static_cast<unsigned char>(b[i + 1])) << 8;
}

std::uint32_t le32(const std::string &b, std::size_t i)
{
    return std::uint32_t(le16(b, i)) | std::uint32_t(le16(b, i + 2)) << 16;
}

unsigned be16(const std::string &b, std::size_t i)
{
    return unsigned(static_cast<unsigned char>(b[i])) << 8 | unsigned(static_cast<unsigned char>(b[i + 1]));
}

std::uint32_t be32(const std::string &b, std::size_t i)
{
    return std::uint32_t(be16(b, i)) << 16 | std::uint32_t(be16(b, i + 2));
}

bool beginntMit(const std::string &b, std::string_view anfang, std::size_t ab = 0)
{
    return b.size() >= ab + anfang.size() && std::string_view(b).substr(ab, anfang.size()) == anfang;
}

// The lengths of the header after "BM" that the versions of the format have.
bool bmpKopf(std::uint32_t laenge)
{
    static constexpr std::uint32_t laengen[] = {12, 40, 52, 56, 64, 108, 124};
    return std::find(std::begin(laengen), std::end(laengen), laenge) != std::end(laengen);
}

int masz(std::uint32_t wert)
{
    return wert > 1000000 ? 0 : int(wert);
}

// An ISO media file whose brands name AV1 pictures.
bool avif(const std::string &b)
{
    if (!beginntMit(b, "ftyp", 4))
        return false;
    const std::size_t ende = std::min<std::size_t>(b.size(), be32(b, 0));
    for (std::size_t i = 8; i + 4 <= ende; i += i == 8 ? 8 : 4) {
        if (beginntMit(b, "avif", i) || beginntMit(b, "avis", i))
            return true;
    }
    return false;
}

// A reference that stays inside the picture: a fragment, or a raster
// picture carried along as data.
bool innen(QStringView wert)
{
    wert = wert.trimmed();
    if (wert.isEmpty() || wert.startsWith(u'#'))
        return true;
    for (const char16_t *daten : {u"data:image/png", u"data:image/jpeg", u"data:image/gif", u"data:image/webp"}) {
        const QStringView art(daten);
        if (wert.startsWith(art, Qt::CaseInsensitive) && wert.size() > art.size()
            && (wert[art.size()] == u';' || wert[art.size()] == u','))
            return true;
    }
    return false;
}

// What in a style makes the browser fetch something, empty when nothing.
// A backslash is refused as a whole: CSS escapes could spell any of these.
QString stilProblem(QStringView stil, bool stilblatt)
{
    const QString klein = stil.toString().toLower();
    if (stilblatt && klein.contains(u'\\'))
        return QStringLiteral("SVG mit maskiertem CSS");
    for (const char16_t *wort : {u"@import", u"image-set(", u"image(", u"src("}) {
        if (stilblatt && klein.contains(QStringView(wort)))
            return QStringLiteral("SVG mit Verweis nach außen: „") + stil.toString().simplified().left(80)
                   + QStringLiteral("“");
    }
    for (qsizetype i = klein.indexOf(u"url("); i >= 0; i = klein.indexOf(u"url(", i + 4)) {
        QStringView rest = QStringView(klein).mid(i + 4).trimmed();
        if (rest.startsWith(u'"') || rest.startsWith(u'\''))
            rest = rest.mid(1);
        if (!rest.startsWith(u'#'))
            return QStringLiteral("SVG mit Verweis nach außen: „") + stil.mid(i).left(80).toString() + QStringLiteral("“");
    }
    return {};
}

} // namespace

Bilddatei::Bilddatei(const std::string &pfad, std::string_view anzeige)
    : m_anzeige(anzeige)
{
    // A device or FIFO is refused before it is opened: opening alone can
    // wait for a writer or rewind a tape.
    struct stat st;
    if (pfad.empty() || ::stat(pfad.c_str(), &st) != 0) {
        if (errno == EACCES && !pfad.empty())
            abweisen("ist nicht lesbar (Dateizugriff verweigert)");
        abweisen("ist nicht vorhanden");
    }
    if (!S_ISREG(st.st_mode))
        abweisen("ist keine gewöhnliche Datei");
    m_fd = ::open(pfad.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0) {
        if (errno == EACCES || errno == EPERM)
            abweisen("ist nicht lesbar (Dateizugriff verweigert)");
        if (errno == ENOENT)
            abweisen("ist nicht vorhanden");
        throw EAFehler::ausErrno(errno, true);
    }
    // From here on only what the descriptor says counts: the path may have
    // been given to another file since.
    struct statfs fs;
    if (::fstat(m_fd, &st) != 0 || ::fstatfs(m_fd, &fs) != 0)
        throw EAFehler::ausErrno(errno, true);
    if (!S_ISREG(st.st_mode))
        abweisen("ist keine gewöhnliche Datei");
    if (systemdateisystem(fs))
        abweisen("ist keine gewöhnliche Datei, sondern eine des Kernels (/proc, /sys)");
    m_groesse = st.st_size;
    m_geraet = st.st_dev;
    m_knoten = st.st_ino;
    if (m_groesse > Hoechstgroesse)
        abweisen("ist mit " + std::to_string(m_groesse) + " Bytes zu groß für eine Seite im Netz (höchstens 64 MB)");
    erkenne(lies(std::min<std::int64_t>(m_groesse, 65536)));
}

Bilddatei::~Bilddatei()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Bilddatei::Bilddatei(Bilddatei &&andere) noexcept
    : m_fd(std::exchange(andere.m_fd, -1))
    , m_anzeige(std::move(andere.m_anzeige))
    , m_groesse(andere.m_groesse)
    , m_geraet(andere.m_geraet)
    , m_knoten(andere.m_knoten)
    , m_art(andere.m_art)
    , m_breite(andere.m_breite)
    , m_hoehe(andere.m_hoehe)
{
}

void Bilddatei::abweisen(const std::string &grund) const
{
    throw Fehler("Die Bilddatei „" + meldungstext(m_anzeige) + "“ " + grund);
}

std::string Bilddatei::lies(std::int64_t laenge) const
{
    std::string daten(std::size_t(laenge), '\0');
    std::size_t gelesen = 0;
    while (gelesen < daten.size()) {
        const ssize_t n = ::pread(m_fd, daten.data() + gelesen, daten.size() - gelesen, off_t(gelesen));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EAFehler::ausErrno(errno, true);
        if (n == 0)
            break;
        gelesen += std::size_t(n);
    }
    daten.resize(gelesen);
    return daten;
}

void Bilddatei::erkenne(const std::string &b)
{
    if (beginntMit(b, "GIF87a") || beginntMit(b, "GIF89a")) {
        m_art = Bildart::Gif;
        if (b.size() >= 10) {
            m_breite = int(le16(b, 6));
            m_hoehe = int(le16(b, 8));
        }
    } else if (beginntMit(b, "\x89PNG\r\n\x1A\n")) {
        m_art = Bildart::Png;
        if (beginntMit(b, "IHDR", 12) && b.size() >= 24) {
            m_breite = masz(be32(b, 16));
            m_hoehe = masz(be32(b, 20));
        }
    } else if (beginntMit(b, "\xFF\xD8\xFF")) {
        m_art = Bildart::Jpeg;
        // The first frame header among the segments that fit in the start.
        for (std::size_t i = 2; i + 9 <= b.size() && static_cast<unsigned char>(b[i]) == 0xFF;
             i += 2 + be16(b, i + 2)) {
            const auto marke = static_cast<unsigned char>(b[i + 1]);
            if (marke >= 0xC0 && marke <= 0xCF && marke != 0xC4 && marke != 0xC8 && marke != 0xCC) {
                m_hoehe = int(be16(b, i + 5));
                m_breite = int(be16(b, i + 7));
                break;
            }
        }
    } else if (beginntMit(b, "RIFF") && beginntMit(b, "WEBP", 8)) {
        m_art = Bildart::WebP;
    } else if (b.size() >= 16 && avif(b)) {
        m_art = Bildart::Avif;
    } else if (beginntMit(b, "BM") && b.size() >= 26 && bmpKopf(le32(b, 14))) {
        m_art = Bildart::Bmp;
        if (le32(b, 14) == 12) {
            m_breite = int(le16(b, 18));
            m_hoehe = int(le16(b, 20));
        } else {
            const auto hoehe = static_cast<std::int32_t>(le32(b, 22));
            m_breite = masz(le32(b, 18));
            m_hoehe = masz(std::uint32_t(hoehe < 0 ? -std::int64_t(hoehe) : hoehe));
        }
    } else if (beginntMit(b, std::string_view("\0\0\1\0", 4)) && b.size() >= 8 && le16(b, 4) > 0) {
        m_art = Bildart::Ico;
        m_breite = static_cast<unsigned char>(b[6]) == 0 ? 256 : static_cast<unsigned char>(b[6]);
        m_hoehe = static_cast<unsigned char>(b[7]) == 0 ? 256 : static_cast<unsigned char>(b[7]);
    } else {
        // Text that begins like XML may be an SVG document.
        std::size_t i = beginntMit(b, "\xEF\xBB\xBF") ? 3 : 0;
        while (i < b.size() && b[i] != '\0' && std::strchr(" \t\r\n", b[i]))
            ++i;
        if (i >= b.size() || b[i] != '<')
            abweisen("ist kein Bild, das ein Browser zeigt");
        m_art = Bildart::Svg;
        pruefeSvg(lies(m_groesse));
    }
}

void Bilddatei::pruefeSvg(const std::string &inhalt) const
{
    const auto nein = [this](const QString &grund) {
        abweisen("ist kein Bild, das ein Browser zeigt (" + grund.toStdString() + ")");
    };
    QXmlStreamReader xml(QByteArray::fromRawData(inhalt.data(), qsizetype(inhalt.size())));
    bool wurzel = false;
    int stilblatt = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            // A plain DOCTYPE is harmless; declarations of its own can
            // fetch files or grow without bound.
            if (!xml.entityDeclarations().isEmpty() || !xml.notationDeclarations().isEmpty()
                || xml.text().contains(u'['))
                nein(QStringLiteral("SVG mit DTD-Deklarationen"));
            break;
        case QXmlStreamReader::ProcessingInstruction:
            if (xml.processingInstructionTarget().compare(u"xml-stylesheet", Qt::CaseInsensitive) == 0)
                nein(QStringLiteral("SVG mit Stilvorlage"));
            break;
        case QXmlStreamReader::StartElement: {
            const QStringView name = xml.name();
            if (!wurzel) {
                if (name != u"svg" || xml.namespaceUri() != u"http://www.w3.org/2000/svg")
                    abweisen("ist kein Bild, das ein Browser zeigt");
                wurzel = true;
            }
            if (name.compare(u"script", Qt::CaseInsensitive) == 0)
                nein(QStringLiteral("SVG mit <script>"));
            if (name.compare(u"foreignObject", Qt::CaseInsensitive) == 0)
                nein(QStringLiteral("SVG mit <foreignObject>"));
            if (name.compare(u"style", Qt::CaseInsensitive) == 0)
                ++stilblatt;
            const QXmlStreamAttributes attribute = xml.attributes();
            // An animation can set a reference as well as an attribute can.
            const bool setztVerweis = attribute.value(QStringLiteral("attributeName")).endsWith(u"href", Qt::CaseInsensitive);
            for (const QXmlStreamAttribute &a : attribute) {
                const QStringView an = a.name();
                if (an.startsWith(u"on", Qt::CaseInsensitive))
                    nein(QStringLiteral("SVG mit dem Ereignisattribut „") + an.toString() + QStringLiteral("“"));
                const bool verweis = an.compare(u"href", Qt::CaseInsensitive) == 0
                                     || (setztVerweis && (an == u"to" || an == u"from" || an == u"by" || an == u"values"));
                if (verweis && !innen(a.value()))
                    nein(QStringLiteral("SVG mit Verweis nach außen: „") + a.value().left(80).toString()
                         + QStringLiteral("“"));
                if (const QString p = stilProblem(a.value(), an == u"style"); !p.isEmpty())
                    nein(p);
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (stilblatt > 0 && xml.name().compare(u"style", Qt::CaseInsensitive) == 0)
                --stilblatt;
            break;
        case QXmlStreamReader::Characters:
            if (stilblatt > 0) {
                if (const QString p = stilProblem(xml.text(), true); !p.isEmpty())
                    nein(p);
            }
            break;
        default:
            break;
        }
    }
    if (xml.hasError() || !wurzel)
        abweisen("ist kein Bild, das ein Browser zeigt");
}

const char *Bilddatei::endung() const
{
    switch (m_art) {
    case Bildart::Gif: return "gif";
    case Bildart::Png: return "png";
    case Bildart::Jpeg: return "jpg";
    case Bildart::WebP: return "webp";
    case Bildart::Avif: return "avif";
    case Bildart::Bmp: return "bmp";
    case Bildart::Ico: return "ico";
    case Bildart::Svg: return "svg";
    }
    return "";
}

bool Bilddatei::endungPasst(std::string_view dateiname) const
{
    const std::size_t punkt = dateiname.rfind('.');
    if (punkt == std::string_view::npos || punkt == 0)
        return false;
    std::string endung(dateiname.substr(punkt + 1));
    for (char &c : endung)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return endung == this->endung() || (m_art == Bildart::Jpeg && endung == "jpeg");
}

void Bilddatei::kopiereNach(const std::string &ziel) const
{
    // Never wider than a picture on a web server needs; the umask narrows it.
    const int aus = ::open(ziel.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (aus < 0)
        throw EAFehler::ausErrno(errno, false);
    // A default ACL of the folder would take the place of the umask.
    const mode_t maske = ::umask(0);
    ::umask(maske);
    int fehler = ::fchmod(aus, 0644 & ~maske) == 0 ? 0 : errno;
    bool kuerzer = false;
    std::string puffer(std::size_t(1) << 16, '\0');
    for (std::int64_t stelle = 0; stelle < m_groesse && fehler == 0;) {
        const std::size_t stueck = std::size_t(std::min<std::int64_t>(m_groesse - stelle, std::int64_t(puffer.size())));
        const ssize_t n = ::pread(m_fd, puffer.data(), stueck, off_t(stelle));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fehler = n < 0 ? errno : 0;
            kuerzer = n == 0;
            break;
        }
        for (ssize_t geschrieben = 0; geschrieben < n && fehler == 0;) {
            const ssize_t w = ::write(aus, puffer.data() + geschrieben, std::size_t(n - geschrieben));
            if (w < 0 && errno != EINTR)
                fehler = errno;
            else if (w > 0)
                geschrieben += w;
        }
        stelle += n;
    }
    if (fehler == 0 && !kuerzer && ::fdatasync(aus) != 0)
        fehler = errno;
    if (::close(aus) != 0 && fehler == 0)
        fehler = errno;
    if (kuerzer)
        abweisen("ist beim Kopieren kürzer geworden");
    if (fehler != 0)
        throw EAFehler::ausErrno(fehler, false);
}
