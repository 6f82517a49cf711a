// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "datei.h"

#include "fehler.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t Puffergroesse = std::size_t(1) << 20;
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

std::string nameVon(const std::string &pfad)
{
    const std::size_t schraeg = pfad.rfind('/');
    return schraeg == std::string::npos ? pfad : pfad.substr(schraeg + 1);
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

// The lowest byte of each little-endian 32-bit record.
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

} // namespace

// ---------------------------------------------------------------- Lesedatei

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
    struct stat st;
    if (::fstat(m_fd, &st) != 0) {
        const int err = errno;
        ::close(m_fd);
        lesefehler(err);
    }
    m_groesseBekannt = S_ISREG(st.st_mode);
    if (S_ISDIR(st.st_mode) || (!m_groesseBekannt && !auchStroeme)) {
        ::close(m_fd);
        throw EAFehler(5);
    }
    if (!m_groesseBekannt)
        (void)::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
    m_groesse = m_groesseBekannt ? std::uint64_t(st.st_size) : 0;
    m_puffer.resize(Puffergroesse);
}

Lesedatei::~Lesedatei()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::uint64_t Lesedatei::rest() const
{
    if (!m_groesseBekannt)
        return UINT64_MAX / 8;
    return m_groesse > m_gelesen ? m_groesse - m_gelesen : 0;
}

void Lesedatei::fuellen(std::size_t mindestens)
{
    if (m_ende - m_anfang >= mindestens)
        return;
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

std::string Lesedatei::alles()
{
    std::string inhalt;
    if (m_groesseBekannt)
        inhalt.reserve(std::size_t(rest()));
    inhalt.append(m_puffer.data() + m_anfang, m_ende - m_anfang);
    m_anfang = m_ende = 0;
    for (;;) {
        const ssize_t n = ::read(m_fd, m_puffer.data(), m_puffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            lesefehler(errno);
        }
        if (n == 0)
            break;
        inhalt.append(m_puffer.data(), std::size_t(n));
    }
    m_gelesen += inhalt.size();
    return inhalt;
}

// ---------------------------------------------------------- Sicherungsdatei

Sicherungsdatei::Sicherungsdatei(const std::string &dateiname)
    : m_ziel(dateiname)
{
    // Through a symbolic link the file it points to gets the new content;
    // the link stays.
    struct stat st;
    if (::lstat(m_ziel.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char *echt = ::realpath(m_ziel.c_str(), nullptr)) {
            m_ziel = echt;
            std::free(echt);
        }
    }

    bool vorhanden = false;
    mode_t modus = 0;
    uid_t eigentuemer = 0;
    gid_t gruppe = 0;
    if (::stat(m_ziel.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            schreibfehler(EISDIR);
        // A write-protected file stays protected, although the folder would
        // allow replacing it.
        if (::access(m_ziel.c_str(), W_OK) != 0)
            schreibfehler(errno);
        vorhanden = true;
        modus = st.st_mode & 07777;
        eigentuemer = st.st_uid;
        gruppe = st.st_gid;
    } else if (errno != ENOENT) {
        schreibfehler(errno);
    }

    const std::string verzeichnis = verzeichnisVon(m_ziel);
#ifdef O_TMPFILE
    // A file without a name leaves nothing behind when the program dies
    // before it is put in place.
    if (::access("/proc/self/fd", X_OK) == 0) {
        m_fd = ::open(verzeichnis.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            m_namenlos = true;
        else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            anlegefehler(verzeichnis, errno);
    }
#endif
    if (m_fd < 0) {
        std::string muster = verzeichnis + "/." + nameVon(m_ziel) + ".XXXXXX";
        m_fd = ::mkostemp(muster.data(), O_CLOEXEC);
        if (m_fd < 0)
            anlegefehler(verzeichnis, errno);
        m_temporaer = muster;
    }
    if (vorhanden) {
        // Owner and group stay where we may keep them (root saving another
        // user's document); the mode after them, as chown may clear set-id bits.
        (void)::fchown(m_fd, eigentuemer, gruppe);
        (void)::fchmod(m_fd, modus);
    } else if (!m_namenlos) {
        // mkostemp creates the file for its owner alone; a new document gets
        // the usual permissions.
        const mode_t maske = ::umask(0);
        ::umask(maske);
        (void)::fchmod(m_fd, 0666 & ~maske);
    }
    m_puffer.resize(Puffergroesse);
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
    if (m_geschrieben - m_angestossen >= Anstossgroesse) {
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

void Sicherungsdatei::schreiben(const char *daten, std::size_t laenge)
{
    if (m_belegt + laenge > m_puffer.size()) {
        leeren();
        if (laenge >= m_puffer.size()) {
            direkt(daten, laenge);
            return;
        }
    }
    std::memcpy(m_puffer.data() + m_belegt, daten, laenge);
    m_belegt += laenge;
}

void Sicherungsdatei::satz(std::int32_t wert)
{
    if (m_belegt + 4 > m_puffer.size())
        leeren();
    satzSchreiben(reinterpret_cast<unsigned char *>(m_puffer.data() + m_belegt), wert);
    m_belegt += 4;
}

void Sicherungsdatei::zeichenkette(const std::string &text)
{
    satz(std::int32_t(text.size()));
    const char *quelle = text.data();
    std::size_t uebrig = text.size();
    while (uebrig > 0) {
        if (m_puffer.size() - m_belegt < 4)
            leeren();
        const std::size_t stueck = std::min(uebrig, (m_puffer.size() - m_belegt) / 4);
        verbreitern(quelle, reinterpret_cast<unsigned char *>(m_puffer.data() + m_belegt), stueck);
        m_belegt += 4 * stueck;
        quelle += stueck;
        uebrig -= stueck;
    }
}

void Sicherungsdatei::abschliessen()
{
    leeren();
    if (::fdatasync(m_fd) != 0)
        schreibfehler(errno);

    if (m_namenlos) {
        // Give the file a name of its own beside the target first: a link
        // cannot replace an existing file, a rename can.
        const std::string fd = "/proc/self/fd/" + std::to_string(m_fd);
        const auto zeit = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int versuch = 0;; ++versuch) {
            std::string name = verzeichnisVon(m_ziel) + "/." + nameVon(m_ziel) + "."
                               + std::to_string(::getpid()) + "-" + std::to_string(zeit) + "-"
                               + std::to_string(versuch);
            if (::linkat(AT_FDCWD, fd.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                m_temporaer = std::move(name);
                break;
            }
            if (errno != EEXIST || versuch > 100)
                schreibfehler(errno);
        }
    }

    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        schreibfehler(errno);
    if (::rename(m_temporaer.c_str(), m_ziel.c_str()) != 0)
        schreibfehler(errno);
    m_temporaer.clear();

    // Make the new name itself durable; a failure here loses nothing.
    const int verzeichnis = ::open(verzeichnisVon(m_ziel).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (verzeichnis >= 0) {
        (void)::fsync(verzeichnis);
        ::close(verzeichnis);
    }
}
