// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "datei.h"

#include "fehler.h"

#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <climits>
#include <cstdlib>
#include <memory>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t Puffergroesse = std::size_t(1) << 20;
// Where a writer's buffer starts; it grows to Puffergroesse as a file needs
// it, so that small files, most of them, never take a megabyte.
constexpr std::size_t Anfangsgroesse = std::size_t(64) << 10;

// A reader's buffer for a file of `groesse` bytes: no larger than the file.
std::size_t lesepuffer(std::uint64_t groesse)
{
    return std::size_t(std::clamp<std::uint64_t>(groesse, 4096, Puffergroesse));
}
// How much a new file takes in before its pages are sent on to the disk.
constexpr std::uint64_t Anstossgroesse = std::uint64_t(8) << 20;

[[noreturn]] void lesefehler(int err)
{
    throw EAFehler::ausErrno(err, true);
}

[[noreturn]] void schreibfehler(int err)
{
    throw EAFehler::ausErrno(err, false);
}

std::string verzeichnisVon(const std::string &pfad)
{
    const std::size_t schraeg = pfad.rfind('/');
    if (schraeg == std::string::npos)
        return ".";
    if (schraeg == 0)
        return "/";
    return pfad.substr(0, schraeg);
}

bool istVerzeichnis(const std::string &pfad)
{
    struct stat st;
    return ::stat(pfad.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A folder removed while it is still a working folder refuses new files
// with EPERM or ENOENT, as the file system has it; either way the folder
// is missing.
[[noreturn]] void anlegefehler(const std::string &verzeichnis, int err)
{
    struct stat st;
    if (::stat(verzeichnis.c_str(), &st) == 0 ? st.st_nlink == 0 : errno == ENOENT || errno == ENOTDIR)
        throw EAFehler(3);
    schreibfehler(err);
}

// Each byte widened with zeros to a little-endian 32-bit record.
void verbreitern(const char *quelle, unsigned char *ziel, std::size_t anzahl)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i null = _mm_setzero_si128();
    for (; i + 16 <= anzahl; i += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(quelle + i));
        const __m128i lo = _mm_unpacklo_epi8(b, null);
        const __m128i hi = _mm_unpackhi_epi8(b, null);
        auto *z = reinterpret_cast<__m128i *>(ziel + 4 * i);
        _mm_storeu_si128(z, _mm_unpacklo_epi16(lo, null));
        _mm_storeu_si128(z + 1, _mm_unpackhi_epi16(lo, null));
        _mm_storeu_si128(z + 2, _mm_unpacklo_epi16(hi, null));
        _mm_storeu_si128(z + 3, _mm_unpackhi_epi16(hi, null));
    }
#endif
    for (; i < anzahl; ++i) {
        unsigned char *z = ziel + 4 * i;
        z[0] = static_cast<unsigned char>(quelle[i]);
        z[1] = z[2] = z[3] = 0;
    }
}

void satzSchreiben(unsigned char *ziel, std::int32_t wert)
{
    const auto u = static_cast<std::uint32_t>(wert);
    ziel[0] = static_cast<unsigned char>(u);
    ziel[1] = static_cast<unsigned char>(u >> 8);
    ziel[2] = static_cast<unsigned char>(u >> 16);
    ziel[3] = static_cast<unsigned char>(u >> 24);
}

Dateistand standVon(const struct stat &st)
{
    return {std::uint64_t(st.st_dev),       std::uint64_t(st.st_ino),       std::int64_t(st.st_size),
            std::int64_t(st.st_mtim.tv_sec), std::int64_t(st.st_mtim.tv_nsec), std::int64_t(st.st_ctim.tv_sec),
            std::int64_t(st.st_ctim.tv_nsec)};
}

// Closes a descriptor when it goes out of scope.
class Deskriptor
{
public:
    explicit Deskriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Deskriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Deskriptor(const Deskriptor &) = delete;
    Deskriptor &operator=(const Deskriptor &) = delete;
    int get() const { return m_fd; }
    // Closes now and reports the error a close may bring.
    int schliessen()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd);
    }

private:
    int m_fd;
};

// The copy of a file's old content that a write in place keeps beside it
// until the new content is on the disk.
std::string altkopieVon(const std::string &datei)
{
    return datei + Altkopienendung;
}

// A copy is written with the mode 0200 and set to 0400 only once its content
// is on the disk, before the file itself is touched: a copy of another mode
// was cut short while the file was still whole. Only a copy of the caller's
// or of the file's owner counts; anyone may put a file of that name into a
// folder open to all.
enum class Altkopie { keine, unvollstaendig, fremd, vollstaendig };

Altkopie altkopieZustand(const std::string &datei)
{
    struct stat kopie;
    if (::lstat(altkopieVon(datei).c_str(), &kopie) != 0)
        return Altkopie::keine;
    struct stat st;
    const uid_t eigner = ::stat(datei.c_str(), &st) == 0 ? st.st_uid : ::geteuid();
    if (!S_ISREG(kopie.st_mode) || (kopie.st_uid != ::geteuid() && kopie.st_uid != eigner))
        return Altkopie::fremd;
    return (kopie.st_mode & 07777) == 0400 ? Altkopie::vollstaendig : Altkopie::unvollstaendig;
}

// A copy left by a write in place that did not end: the file may be damaged,
// and the copy is all that is left of its old content. Until the user has
// looked at it, the file is neither read nor written. A copy cut short does
// not count: the file it was being made of is whole.
void pruefeAltkopie(const std::string &datei)
{
    if (altkopieZustand(datei) == Altkopie::vollstaendig)
        throw AltkopieFehler(altkopieVon(datei));
}

void ordnerSichern(const std::string &ordner)
{
    const int fd = ::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

// A link is followed for a write only where the kernel's rule for protected
// links would follow it: in a sticky folder that everyone may write (/tmp),
// only the caller's own links and those of the folder's owner. Another user
// could otherwise lead a write of ours to any file we may write. Resolving
// a path ourselves bypasses the kernel, so the rule is applied here.
void pruefeVerweis(const std::string &ordner, const struct stat &verweis)
{
    struct stat o;
    if (::stat(ordner.c_str(), &o) != 0)
        return;
    if ((o.st_mode & S_ISVTX) && (o.st_mode & S_IWOTH) && verweis.st_uid != ::geteuid() && verweis.st_uid != o.st_uid)
        throw SonderzielFehler();
}

// A path as the file system resolves it: links and "..", /proc/self/cwd and
// the like taken out, every link checked as above on the way. Nothing when
// a part of it does not exist.
std::optional<std::string> aufgeloest(const std::string &pfad, int &verweise)
{
    // The root is the empty string here, so that every part appends "/name".
    std::string aktuell;
    if (pfad.empty() || pfad.front() != '/') {
        char *arbeitsordner = ::getcwd(nullptr, 0);
        if (!arbeitsordner)
            return std::nullopt;
        aktuell = arbeitsordner;
        std::free(arbeitsordner);
        if (aktuell == "/")
            aktuell.clear();
    }
    for (std::size_t i = 0; i <= pfad.size();) {
        const std::size_t ende = std::min(pfad.find('/', i), pfad.size());
        const std::string teil = pfad.substr(i, ende - i);
        i = ende + 1;
        if (teil.empty() || teil == ".")
            continue;
        if (teil == "..") {
            aktuell.erase(std::min(aktuell.rfind('/'), aktuell.size()));
            continue;
        }
        const std::string kandidat = aktuell + "/" + teil;
        struct stat st;
        if (::lstat(kandidat.c_str(), &st) != 0)
            return std::nullopt;
        if (!S_ISLNK(st.st_mode)) {
            aktuell = kandidat;
            continue;
        }
        if (++verweise > 40)
            throw EAFehler(3);
        pruefeVerweis(aktuell.empty() ? "/" : aktuell, st);
        char ziel[PATH_MAX];
        const ssize_t laenge = ::readlink(kandidat.c_str(), ziel, sizeof ziel);
        if (laenge <= 0 || std::size_t(laenge) == sizeof ziel)
            return std::nullopt;
        const std::string naechster(ziel, std::size_t(laenge));
        const std::optional<std::string> weiter = aufgeloest(naechster.front() == '/' ? naechster : aktuell + "/" + naechster, verweise);
        if (!weiter)
            return std::nullopt;
        aktuell = *weiter == "/" ? std::string() : *weiter;
    }
    return aktuell.empty() ? std::string("/") : aktuell;
}

// The folder a path names, as the file system resolves it; the path itself
// where it cannot be resolved (a folder that does not exist).
std::string echterOrdner(const std::string &ordner)
{
    int verweise = 0;
    return aufgeloest(ordner, verweise).value_or(ordner);
}

std::string nameVon(const std::string &pfad)
{
    const std::size_t schraeg = pfad.rfind('/');
    return schraeg == std::string::npos ? pfad : pfad.substr(schraeg + 1);
}

// Follows the links that the last part of a path leads through, to the file
// a write through the path reaches, in a folder as the file system knows it.
// `offen` tells whether one step lies in /proc (as /dev/stdout leads to
// /proc/self/fd/1): such an entry stands for an open file, a pipe or a
// terminal, not for a place in a folder that could be replaced.
std::string folgeLinks(std::string pfad, bool &offen)
{
    offen = false;
    for (int schritt = 0;; ++schritt) {
        const std::string ordner = echterOrdner(verzeichnisVon(pfad));
        if (ordner == "/proc" || ordner.rfind("/proc/", 0) == 0) {
            offen = true;
            return pfad;
        }
        pfad = (ordner == "/" ? std::string() : ordner) + "/" + nameVon(pfad);
        struct stat st;
        if (schritt == 40 || ::lstat(pfad.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return pfad;
        pruefeVerweis(ordner, st);
        char ziel[PATH_MAX];
        const ssize_t laenge = ::readlink(pfad.c_str(), ziel, sizeof ziel - 1);
        if (laenge <= 0)
            return pfad;
        std::string naechster(ziel, std::size_t(laenge));
        pfad = naechster.front() == '/' ? naechster : ordner + "/" + naechster;
    }
}

// The names of a file's extended attributes; empty where it has none or its
// file system keeps none.
std::vector<std::string> attributnamen(const std::string &pfad, int fd)
{
    std::vector<char> namen;
    for (;;) {
        const ssize_t noetig = fd >= 0 ? ::flistxattr(fd, nullptr, 0) : ::listxattr(pfad.c_str(), nullptr, 0);
        if (noetig <= 0)
            return {};
        namen.resize(std::size_t(noetig));
        const ssize_t n = fd >= 0 ? ::flistxattr(fd, namen.data(), namen.size())
                                  : ::listxattr(pfad.c_str(), namen.data(), namen.size());
        if (n >= 0) {
            namen.resize(std::size_t(n));
            break;
        }
        if (errno != ERANGE)
            return {};
    }
    std::vector<std::string> liste;
    for (std::size_t i = 0; i < namen.size();) {
        const std::size_t ende = std::find(namen.begin() + std::ptrdiff_t(i), namen.end(), '\0') - namen.begin();
        if (ende > i)
            liste.emplace_back(namen.data() + i, ende - i);
        i = ende + 1;
    }
    return liste;
}

// What a file system may refuse to carry over without the save being wrong:
// attributes it cannot hold, another user's security label.
bool attributDarfFehlen(int err)
{
    return err == ENOTSUP || err == EOPNOTSUPP || err == EPERM || err == EACCES || err == ENODATA;
}

// The attribute that gives a program file its capabilities.
constexpr const char *Faehigkeiten = "security.capability";

// Gives the new file the extended attributes of the old one, its ACLs among
// them, and drops what the new file inherited from its folder but the old
// one did not have (a default ACL of the folder).
void uebernehmeAttribute(const std::string &alt, int neu)
{
    const std::vector<std::string> alte = attributnamen(alt, -1);
    for (const std::string &name : attributnamen({}, neu)) {
        if (std::find(alte.begin(), alte.end(), name) == alte.end() && ::fremovexattr(neu, name.c_str()) != 0
            && !attributDarfFehlen(errno))
            schreibfehler(errno);
    }
    std::vector<char> wert;
    for (const std::string &name : alte) {
        // A program's capabilities do not pass to a document written over it.
        if (name == Faehigkeiten)
            continue;
        ssize_t n = ::getxattr(alt.c_str(), name.c_str(), nullptr, 0);
        if (n >= 0) {
            wert.resize(std::size_t(n) + 1);
            n = ::getxattr(alt.c_str(), name.c_str(), wert.data(), wert.size());
        }
        if (n < 0) {
            if (attributDarfFehlen(errno) || errno == ERANGE)
                continue;
            schreibfehler(errno);
        }
        if (::fsetxattr(neu, name.c_str(), wert.data(), std::size_t(n), 0) != 0 && !attributDarfFehlen(errno))
            schreibfehler(errno);
    }
}

} // namespace

void schmaelern(const unsigned char *quelle, char *ziel, std::size_t anzahl)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i maske = _mm_set1_epi32(0xFF);
    for (; i + 16 <= anzahl; i += 16) {
        const auto *q = reinterpret_cast<const __m128i *>(quelle + 4 * i);
        const __m128i a = _mm_and_si128(_mm_loadu_si128(q), maske);
        const __m128i b = _mm_and_si128(_mm_loadu_si128(q + 1), maske);
        const __m128i c = _mm_and_si128(_mm_loadu_si128(q + 2), maske);
        const __m128i d = _mm_and_si128(_mm_loadu_si128(q + 3), maske);
        const __m128i ab = _mm_packs_epi32(a, b);
        const __m128i cd = _mm_packs_epi32(c, d);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(ziel + i), _mm_packus_epi16(ab, cd));
    }
#endif
    for (; i < anzahl; ++i)
        ziel[i] = char(quelle[4 * i]);
}

std::optional<Dateistand> dateistand(const std::string &pfad)
{
    struct stat st;
    if (::stat(pfad.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return standVon(st);
}

void pruefeSchreibweg(const std::string &pfad)
{
    int verweise = 0;
    (void)aufgeloest(pfad, verweise);
}

std::optional<std::string> echterPfad(const std::string &pfad)
{
    std::unique_ptr<char, decltype(&std::free)> echt(::realpath(pfad.c_str(), nullptr), &std::free);
    if (!echt)
        return std::nullopt;
    return std::string(echt.get());
}

bool dieselbeDatei(const std::string &a, const std::string &b)
{
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev
           && sa.st_ino == sb.st_ino;
}

// ---------------------------------------------------------------- Lesedatei

StromFehler::StromFehler()
    : Fehler(QLocale(QLocale::German, QLocale::Germany).toString(qulonglong(Stromgrenze)).toStdString()
             + " Bytes sind aus der Pipe gelesen, und sie ist noch nicht zu Ende; eine längere Eingabe "
               "bitte als Datei angeben")
{
}

namespace {

// The state of a file just opened for reading; when it cannot be had the
// descriptor is closed and the read error thrown.
struct stat geoeffnet(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        lesefehler(err);
    }
    return st;
}

} // namespace

Lesedatei::Lesedatei(const std::string &dateiname, bool auchStroeme)
{
    // Without O_NONBLOCK opening a pipe waits for a writer, maybe forever.
    m_fd = ::open(dateiname.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) {
        const int err = errno;
        // A missing folder on the way is another fault than a missing file.
        if (err == ENOENT && !istVerzeichnis(verzeichnisVon(dateiname)))
            throw EAFehler(3);
        lesefehler(err);
    }
    const struct stat st = geoeffnet(m_fd);
    m_groesseBekannt = S_ISREG(st.st_mode);
    if (S_ISDIR(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || (!m_groesseBekannt && !auchStroeme)) {
        ::close(m_fd);
        throw EAFehler(5);
    }
    if (m_groesseBekannt) {
        if (const std::optional<std::string> datei = echterPfad(dateiname)) {
            try {
                pruefeAltkopie(*datei);
            } catch (...) {
                ::close(m_fd);
                throw;
            }
        }
    }
    m_stand = standVon(st);
    m_groesse = m_groesseBekannt ? std::uint64_t(st.st_size) : 0;
    m_puffer.resize(m_groesseBekannt ? lesepuffer(m_groesse) : Puffergroesse);
    if (m_groesseBekannt)
        return;

    if (S_ISFIFO(st.st_mode)) {
        // Opened without waiting, a named pipe whose writer comes later
        // would read as empty: wait for the writer, as cat does.
        const int wartend = ::open(dateiname.c_str(), O_RDONLY | O_CLOEXEC);
        const int err = errno;
        ::close(m_fd);
        m_fd = wartend;
        if (m_fd < 0)
            lesefehler(err);
    } else {
        (void)::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
    }
    ganzEinlesen();
}

Lesedatei::Lesedatei(Dateideskriptor offen)
{
    m_fd = ::fcntl(offen.fd, F_DUPFD_CLOEXEC, 0);
    if (m_fd < 0)
        lesefehler(errno);
    const struct stat st = geoeffnet(m_fd);
    // A device would never end (/dev/zero) or wait for a person (a
    // terminal): refused as one named on the command line.
    if (S_ISDIR(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) {
        ::close(m_fd);
        throw EAFehler(5);
    }
    m_stand = standVon(st);
    m_puffer.resize(S_ISREG(st.st_mode) ? lesepuffer(std::uint64_t(st.st_size)) : Puffergroesse);
    // A file redirected to standard input and not yet read from is a file
    // like any other; one that a script has begun to read goes on from
    // where it stands, as a pipe would.
    if (S_ISREG(st.st_mode) && ::lseek(m_fd, 0, SEEK_CUR) == 0) {
        m_groesseBekannt = true;
        m_groesse = std::uint64_t(st.st_size);
        return;
    }
    ganzEinlesen();
}

void Lesedatei::ganzEinlesen()
{
    std::string inhalt = alles();
    ::close(m_fd);
    m_fd = -1;
    m_puffer.assign(inhalt.begin(), inhalt.end());
    m_imSpeicher = true;
    m_groesseBekannt = true;
    m_groesse = m_puffer.size();
    m_gelesen = 0;
    m_anfang = 0;
    m_ende = m_puffer.size();
}

std::vector<char> Lesedatei::inhaltAbgeben()
{
    std::vector<char> inhalt;
    if (m_imSpeicher)
        inhalt.swap(m_puffer);
    m_groesse = m_gelesen = 0;
    m_anfang = m_ende = 0;
    return inhalt;
}

Lesedatei::~Lesedatei()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::uint64_t Lesedatei::rest() const
{
    return m_groesse > m_gelesen ? m_groesse - m_gelesen : 0;
}

void Lesedatei::fuellen(std::size_t mindestens)
{
    if (m_ende - m_anfang >= mindestens)
        return;
    if (m_imSpeicher)
        throw EAFehler(100);
    std::memmove(m_puffer.data(), m_puffer.data() + m_anfang, m_ende - m_anfang);
    m_ende -= m_anfang;
    m_anfang = 0;
    while (m_ende < mindestens) {
        const ssize_t n = ::read(m_fd, m_puffer.data() + m_ende, m_puffer.size() - m_ende);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            lesefehler(errno);
        }
        if (n == 0)
            throw EAFehler(100);
        m_ende += std::size_t(n);
    }
}

std::int32_t Lesedatei::satz()
{
    fuellen(4);
    const auto *p = reinterpret_cast<const unsigned char *>(m_puffer.data() + m_anfang);
    m_anfang += 4;
    m_gelesen += 4;
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                        | std::uint32_t(p[3]) << 24);
}

void Lesedatei::zeichensaetze(char *ziel, std::size_t anzahl)
{
    while (anzahl > 0) {
        fuellen(4);
        const std::size_t stueck = std::min(anzahl, (m_ende - m_anfang) / 4);
        schmaelern(reinterpret_cast<const unsigned char *>(m_puffer.data() + m_anfang), ziel, stueck);
        m_anfang += 4 * stueck;
        m_gelesen += 4 * stueck;
        ziel += stueck;
        anzahl -= stueck;
    }
}

void Lesedatei::ueberspringen(std::uint64_t anzahl)
{
    const std::size_t vorraetig = std::size_t(std::min<std::uint64_t>(anzahl, m_ende - m_anfang));
    m_anfang += vorraetig;
    m_gelesen += vorraetig;
    anzahl -= vorraetig;
    if (anzahl == 0)
        return;
    if (m_imSpeicher || anzahl > rest())
        throw EAFehler(100);
    if (anzahl >= m_puffer.size()) {
        // A long string is passed over without reading it.
        if (::lseek(m_fd, off_t(anzahl), SEEK_CUR) < 0)
            lesefehler(errno);
        m_gelesen += anzahl;
        return;
    }
    fuellen(std::size_t(anzahl));
    m_anfang += std::size_t(anzahl);
    m_gelesen += anzahl;
}

void Lesedatei::zurueckspulen()
{
    m_gelesen = 0;
    if (m_imSpeicher) {
        m_anfang = 0;
        return;
    }
    if (::lseek(m_fd, 0, SEEK_SET) < 0)
        lesefehler(errno);
    m_anfang = m_ende = 0;
}

std::string Lesedatei::alles()
{
    std::string inhalt;
    if (m_groesseBekannt)
        inhalt.reserve(std::size_t(rest()));
    inhalt.append(m_puffer.data() + m_anfang, m_ende - m_anfang);
    m_anfang = m_ende = 0;
    while (!m_imSpeicher) {
        const ssize_t n = ::read(m_fd, m_puffer.data(), m_puffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            lesefehler(errno);
        }
        if (n == 0)
            break;
        if (!m_groesseBekannt && inhalt.size() + std::size_t(n) > Stromgrenze)
            throw StromFehler();
        inhalt.append(m_puffer.data(), std::size_t(n));
    }
    m_gelesen += inhalt.size();
    return inhalt;
}

// ---------------------------------------------------------- Sicherungsdatei

Sicherungsdatei::Sicherungsdatei(const std::string &dateiname, Sonderziel sonderziel)
{
    // Through a symbolic link the file it points to gets the new content;
    // the link stays.
    bool offen = false;
    m_ziel = folgeLinks(dateiname, offen);

    struct stat st;
    const bool gibtEs = !offen && ::stat(m_ziel.c_str(), &st) == 0;
    if (!offen && !gibtEs && errno != ENOENT)
        schreibfehler(errno);
    if (gibtEs && S_ISDIR(st.st_mode))
        schreibfehler(EISDIR);
    if (offen || (gibtEs && !S_ISREG(st.st_mode))) {
        // A pipe, a device or an open file is never replaced: written into
        // as it is, or not at all.
        if (sonderziel == Sonderziel::Verweigern)
            throw SonderzielFehler();
        m_ziel = dateiname;
        m_weg = Weg::Direkt;
        m_fd = ::open(m_ziel.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (m_fd < 0)
            schreibfehler(errno);
        m_puffer.resize(Anfangsgroesse);
        return;
    }

    if (gibtEs) {
        pruefeAltkopie(m_ziel);
        // A write-protected file stays protected, although the folder would
        // allow replacing it.
        if (::access(m_ziel.c_str(), W_OK) != 0)
            schreibfehler(errno);
        m_vorhanden = true;
        // A document written over a program does not run with its owner's
        // or group's rights.
        m_modus = st.st_mode & 07777 & ~mode_t(S_ISUID | S_ISGID);
    }

    const std::string verzeichnis = verzeichnisVon(m_ziel);
    int fehler = 0;
#ifdef O_TMPFILE
    // A file without a name leaves nothing behind when the program dies
    // before it is put in place.
    if (::access("/proc/self/fd", X_OK) == 0) {
        m_fd = ::open(verzeichnis.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            m_namenlos = true;
        else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            fehler = errno;
    }
#endif
    if (m_fd < 0 && fehler == 0) {
        // The name is short whatever the target's: a name near the longest
        // the file system allows must still leave room for it.
        std::string muster = verzeichnis + "/.markwerk-XXXXXX";
        m_fd = ::mkostemp(muster.data(), O_CLOEXEC);
        if (m_fd >= 0)
            m_temporaer = muster;
        else
            fehler = errno;
    }
    if (m_fd < 0) {
        // A folder closed to the user may still hold a file the user can
        // write: that file is then written in place.
        if (!m_vorhanden || (fehler != EACCES && fehler != EPERM))
            anlegefehler(verzeichnis, fehler);
        m_fd = ::memfd_create("markwerk", MFD_CLOEXEC);
        if (m_fd < 0)
            schreibfehler(fehler);
        m_weg = Weg::ImPlatz;
    } else if (m_vorhanden) {
        // Owner and group stay (root saving another user's document); the
        // mode after them, as chown may clear set-id bits. Where they cannot
        // stay, or other names share the file, a new file would take the
        // document away from them: the old one is then written in place.
        if (::fchown(m_fd, st.st_uid, st.st_gid) != 0 || st.st_nlink > 1) {
            ::close(m_fd);
            m_fd = -1;
            if (!m_temporaer.empty())
                ::unlink(m_temporaer.c_str());
            m_temporaer.clear();
            m_namenlos = false;
            m_fd = ::memfd_create("markwerk", MFD_CLOEXEC);
            if (m_fd < 0)
                schreibfehler(errno);
            m_weg = Weg::ImPlatz;
        } else {
            (void)::fchmod(m_fd, m_modus);
        }
    } else if (!m_namenlos) {
        // mkostemp creates the file for its owner alone; a new document gets
        // the usual permissions.
        const mode_t maske = ::umask(0);
        ::umask(maske);
        (void)::fchmod(m_fd, 0666 & ~maske);
    }
    m_puffer.resize(Anfangsgroesse);
}

Sicherungsdatei::Sicherungsdatei(Dateideskriptor offen)
    : m_ziel("-")
    , m_weg(Weg::Direkt)
    , m_geliehen(true)
{
    m_fd = ::fcntl(offen.fd, F_DUPFD_CLOEXEC, 0);
    if (m_fd < 0)
        schreibfehler(errno);
    m_puffer.resize(Anfangsgroesse);
}

Sicherungsdatei::~Sicherungsdatei()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temporaer.empty())
        ::unlink(m_temporaer.c_str());
}

void Sicherungsdatei::direkt(const char *daten, std::size_t laenge)
{
    while (laenge > 0) {
        const ssize_t n = ::write(m_fd, daten, laenge);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            schreibfehler(errno);
        }
        if (n == 0)
            schreibfehler(ENOSPC);
        daten += n;
        laenge -= std::size_t(n);
        m_geschrieben += std::uint64_t(n);
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // Start sending what has been written to the disk while the rest is
    // still being made, so that the final flush waits only for the tail.
    // Only a hint: the flush in abschliessen() is what makes it durable.
    if (m_weg == Weg::Ersetzen && m_geschrieben - m_angestossen >= Anstossgroesse) {
        (void)::sync_file_range(m_fd, off64_t(m_angestossen), off64_t(m_geschrieben - m_angestossen),
                                SYNC_FILE_RANGE_WRITE);
        m_angestossen = m_geschrieben;
    }
#endif
}
void Sicherungsdatei::leeren()
{
    const std::size_t belegt = m_belegt;
    m_belegt = 0;
    direkt(m_puffer.data(), belegt);
}

void Sicherungsdatei::platz(std::size_t noetig)
{
    if (m_belegt + noetig <= m_puffer.size())
        return;
    if (m_puffer.size() < Puffergroesse) {
        m_puffer.resize(std::min(Puffergroesse, std::max(2 * m_puffer.size(), m_belegt + noetig)));
        if (m_belegt + noetig <= m_puffer.size())
            return;
    }
    leeren();
}

void Sicherungsdatei::schreiben(const char *daten, std::size_t laenge)
{
    platz(laenge);
    if (m_belegt + laenge > m_puffer.size()) {
        direkt(daten, laenge);
        return;
    }
    std::memcpy(m_puffer.data() + m_belegt, daten, laenge);
    m_belegt += laenge;
}

void Sicherungsdatei::satz(std::int32_t wert)
{
    platz(4);
    satzSchreiben(reinterpret_cast<unsigned char *>(m_puffer.data() + m_belegt), wert);
    m_belegt += 4;
}

void Sicherungsdatei::zeichenkette(std::string_view text)
{
    satz(std::int32_t(text.size()));
    const char *quelle = text.data();
    std::size_t uebrig = text.size();
    while (uebrig > 0) {
        platz(4);
        const std::size_t stueck = std::min(uebrig, (m_puffer.size() - m_belegt) / 4);
        verbreitern(quelle, reinterpret_cast<unsigned char *>(m_puffer.data() + m_belegt), stueck);
        m_belegt += 4 * stueck;
        quelle += stueck;
        uebrig -= stueck;
    }
}

Dateistand Sicherungsdatei::abschliessen()
{
    leeren();
    Dateistand stand;
    if (m_weg == Weg::Ersetzen) {
        ersetzen(stand);
        return stand;
    }
    Deskriptor fd(m_fd);
    m_fd = -1;
    if (m_weg == Weg::ImPlatz)
        return ueberschreiben(fd.get());

    struct stat st;
    if (::fstat(fd.get(), &st) != 0)
        schreibfehler(errno);
    // A pipe or a terminal has nothing to flush; a file behind /dev/stdout
    // has. Standard output belongs to the caller, who decides, as with cp.
    if (S_ISREG(st.st_mode) && !m_geliehen && ::fdatasync(fd.get()) != 0)
        schreibfehler(errno);
    if (fd.schliessen() != 0)
        schreibfehler(errno);
    return standVon(st);
}

void Sicherungsdatei::ersetzen(Dateistand &stand)
{
    if (m_vorhanden) {
        uebernehmeAttribute(m_ziel, m_fd);
        // An ACL taken over or dropped has set the group bits.
        (void)::fchmod(m_fd, m_modus);
    }
    if (::fdatasync(m_fd) != 0)
        schreibfehler(errno);

    if (m_namenlos) {
        // Give the file a name of its own beside the target first: a link
        // cannot replace an existing file, a rename can.
        const std::string fd = "/proc/self/fd/" + std::to_string(m_fd);
        const auto zeit = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int versuch = 0;; ++versuch) {
            std::string name = verzeichnisVon(m_ziel) + "/.markwerk-" + std::to_string(::getpid()) + "-"
                               + std::to_string((zeit + versuch) % 1000000);
            if (::linkat(AT_FDCWD, fd.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                m_temporaer = std::move(name);
                break;
            }
            if (errno != EEXIST || versuch > 100)
                schreibfehler(errno);
        }
    }

    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        schreibfehler(errno);
    stand = standVon(st);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        schreibfehler(errno);
    if (::rename(m_temporaer.c_str(), m_ziel.c_str()) != 0) {
        const int err = errno;
        // A file mounted on its own place cannot be replaced, only written.
        if (!m_vorhanden || (err != EBUSY && err != EXDEV))
            schreibfehler(err);
        Deskriptor neu(::open(m_temporaer.c_str(), O_RDONLY | O_CLOEXEC));
        if (neu.get() < 0)
            schreibfehler(err);
        stand = ueberschreiben(neu.get());
        return;
    }
    m_temporaer.clear();
    // The rename itself counts as a change of the file; what a later save
    // compares with is the file as it now stands.
    if (::stat(m_ziel.c_str(), &st) == 0 && std::uint64_t(st.st_ino) == stand.knoten)
        stand = standVon(st);

    // Make the new name itself durable; a failure here loses nothing.
    const int verzeichnis = ::open(verzeichnisVon(m_ziel).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (verzeichnis >= 0) {
        (void)::fsync(verzeichnis);
        ::close(verzeichnis);
    }
}

namespace {

// Copies the bytes [von, bis) of one file to the same place in another.
void kopiereBereich(int quelle, int ziel, off_t von, off_t bis, std::vector<char> &puffer)
{
    for (off_t stelle = von; stelle < bis;) {
        const ssize_t n = ::pread(quelle, puffer.data(), std::size_t(std::min<off_t>(off_t(puffer.size()), bis - stelle)),
                                  stelle);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            schreibfehler(n < 0 ? errno : EIO);
        for (ssize_t geschrieben = 0; geschrieben < n;) {
            const ssize_t w = ::pwrite(ziel, puffer.data() + geschrieben, std::size_t(n - geschrieben),
                                       stelle + geschrieben);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                schreibfehler(w < 0 ? errno : ENOSPC);
            geschrieben += w;
        }
        stelle += n;
    }
}

// Writes the first `laenge` bytes of `datei` to its copy beside it and
// flushes the copy and its name to the disk. False where no copy can be made
// (a folder closed to the user, a file that cannot be read, a name too
// long): the write then goes on with the weaker guarantee.
bool legeAltkopieAn(const std::string &datei, off_t laenge, std::vector<char> &puffer)
{
    Deskriptor alt(::open(datei.c_str(), O_RDONLY | O_CLOEXEC));
    if (alt.get() < 0)
        return false;
    const std::string name = altkopieVon(datei);
    // Someone else's file of that name stays, and the write goes on without
    // a copy; one of ours that was cut short makes room for a whole one.
    switch (altkopieZustand(datei)) {
    case Altkopie::fremd:
        return false;
    case Altkopie::unvollstaendig:
        ::unlink(name.c_str());
        break;
    case Altkopie::keine:
    case Altkopie::vollstaendig:
        break;
    }
    Deskriptor kopie(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0200));
    if (kopie.get() < 0) {
        if (errno == EACCES || errno == EPERM || errno == EROFS || errno == ENAMETOOLONG)
            return false;
        schreibfehler(errno);
    }
    try {
        kopiereBereich(alt.get(), kopie.get(), 0, laenge, puffer);
        if (::fdatasync(kopie.get()) != 0 || ::fchmod(kopie.get(), 0400) != 0 || ::fsync(kopie.get()) != 0
            || kopie.schliessen() != 0)
            schreibfehler(errno);
    } catch (...) {
        ::unlink(name.c_str());
        throw;
    }
    ordnerSichern(verzeichnisVon(datei));
    return true;
}

// The copy is no longer needed: the file holds its old or its new content
// whole again.
void entferneAltkopie(const std::string &datei)
{
    ::unlink(altkopieVon(datei).c_str());
    ordnerSichern(verzeichnisVon(datei));
}

} // namespace

// The fallback where the target cannot or should not be replaced. Its
// guarantee is weaker than a replace. The room the new content needs is
// taken first: reserved where the file system can, and in any case the part
// beyond the old end is written and flushed before anything else, so a full
// disk is found while the old content is still whole (the file is then cut
// back to it). The new content is flushed before success is reported. But a
// crash or an I/O error while the old bytes are being overwritten leaves a
// file that is part old, part new. Against that, where the folder takes a
// new file, the old content is first copied beside the file and flushed
// (altkopieVon); the copy goes once the new content is on the disk, and a
// copy found later stops every read and write of the file until the user
// has seen it.
Dateistand Sicherungsdatei::ueberschreiben(int quelle)
{
    struct stat st;
    if (::fstat(quelle, &st) != 0)
        schreibfehler(errno);
    const off_t groesse = st.st_size;
    Deskriptor ziel(::open(m_ziel.c_str(), O_WRONLY | O_CLOEXEC));
    if (ziel.get() < 0 || ::fstat(ziel.get(), &st) != 0)
        schreibfehler(errno);
    const off_t alt = st.st_size;
    m_puffer.resize(Puffergroesse);
    const bool kopie = legeAltkopieAn(m_ziel, alt, m_puffer);
    if (groesse > 0)
        (void)::fallocate(ziel.get(), FALLOC_FL_KEEP_SIZE, 0, groesse);
    if (groesse > alt) {
        try {
            kopiereBereich(quelle, ziel.get(), alt, groesse, m_puffer);
            if (::fdatasync(ziel.get()) != 0)
                schreibfehler(errno);
        } catch (const EAFehler &) {
            if (::ftruncate(ziel.get(), alt) == 0 && kopie)
                entferneAltkopie(m_ziel);
            throw;
        }
    }
    kopiereBereich(quelle, ziel.get(), 0, std::min(alt, groesse), m_puffer);
    if (::ftruncate(ziel.get(), groesse) != 0 || ::fstat(ziel.get(), &st) != 0)
        schreibfehler(errno);
    // The kernel keeps set-id bits and capabilities on a file root writes.
    if ((st.st_mode & (S_ISUID | S_ISGID)) != 0 && ::fchmod(ziel.get(), st.st_mode & 07777 & ~mode_t(S_ISUID | S_ISGID)) != 0)
        schreibfehler(errno);
    if (::fremovexattr(ziel.get(), Faehigkeiten) != 0 && errno != ENODATA && !attributDarfFehlen(errno))
        schreibfehler(errno);
    if (::fdatasync(ziel.get()) != 0 || ::fstat(ziel.get(), &st) != 0)
        schreibfehler(errno);
    if (ziel.schliessen() != 0)
        schreibfehler(errno);
    if (kopie)
        entferneAltkopie(m_ziel);
    return standVon(st);
}
