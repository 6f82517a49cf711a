// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "definitionsansicht.h"

#include "datei.h"
#include "fehler.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// ------------------------------------------------------------ guarded mappings

// Another program may shorten a file while it is mapped here; the first read
// of a page past its new end would end the process with SIGBUS. Such a page
// is replaced by zeros instead and its mapping marked, and the reader, which
// looks at the mark after every string, fails with a read error.
struct Wache
{
    std::atomic<std::uintptr_t> anfang{0};
    std::atomic<std::uintptr_t> ende{0};
    std::atomic<bool> beschaedigt{false};
};

constexpr int Wachenzahl = 16;
Wache wachen[Wachenzahl];
std::mutex wachenSperre;
struct sigaction vorherigeBehandlung;
std::uintptr_t seitengroesse = 4096;
bool eingerichtet = false;

void busfehler(int, siginfo_t *info, void *)
{
    const auto adresse = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Wache &w : wachen) {
        if (adresse < w.anfang.load() || adresse >= w.ende.load())
            continue;
        void *seite = reinterpret_cast<void *>(adresse & ~(seitengroesse - 1));
        if (::mmap(seite, seitengroesse, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            w.beschaedigt.store(true);
            return;
        }
    }
    // Not one of ours: the fault repeats at once and meets the handling
    // that was there before.
    ::sigaction(SIGBUS, &vorherigeBehandlung, nullptr);
}

// A slot for a mapping, -1 when all are taken.
int bewache(const void *anfang, std::size_t laenge)
{
    const std::lock_guard<std::mutex> sperre(wachenSperre);
    if (!eingerichtet) {
        seitengroesse = std::uintptr_t(::sysconf(_SC_PAGESIZE));
        struct sigaction neu = {};
        neu.sa_sigaction = busfehler;
        neu.sa_flags = SA_SIGINFO;
        sigemptyset(&neu.sa_mask);
        if (::sigaction(SIGBUS, &neu, &vorherigeBehandlung) != 0)
            return -1;
        eingerichtet = true;
    }
    for (int i = 0; i < Wachenzahl; ++i) {
        if (wachen[i].ende.load() != 0)
            continue;
        wachen[i].beschaedigt.store(false);
        wachen[i].anfang.store(reinterpret_cast<std::uintptr_t>(anfang));
        wachen[i].ende.store(reinterpret_cast<std::uintptr_t>(anfang) + laenge);
        return i;
    }
    return -1;
}

void entlasse(int wache)
{
    const std::lock_guard<std::mutex> sperre(wachenSperre);
    wachen[wache].ende.store(0);
    wachen[wache].anfang.store(0);
}

// ------------------------------------------------------------ reading in place

// A cursor walks the mapping in windows of this size: the pages of the next
// window are mapped in at once, those behind the current one let go.
constexpr std::uint64_t Fenster = std::uint64_t(512) << 10;

// A cursor over the file's bytes with the reading operations of Lesedatei,
// so that the first pass is the one LeseDefinition makes.
class Speicherleser
{
public:
    Speicherleser(const unsigned char *basis, std::uint64_t groesse, bool abgebildet, std::uint64_t stelle = 0)
        : m_basis(basis)
        , m_groesse(groesse)
        , m_abgebildet(abgebildet)
        , m_stelle(stelle)
        , m_losgelassen(stelle & ~(Fenster - 1))
        , m_fensterende(m_losgelassen)
    {
        loslassen();
    }

    std::uint64_t rest() const { return m_groesse - m_stelle; }
    std::uint64_t position() const { return m_stelle; }

    std::int32_t satz()
    {
        if (rest() < 4)
            throw EAFehler(100);
        const unsigned char *p = m_basis + m_stelle;
        m_stelle += 4;
        return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                            | std::uint32_t(p[3]) << 24);
    }

    void ueberspringen(std::uint64_t anzahl)
    {
        if (anzahl > rest())
            throw EAFehler(100);
        m_stelle += anzahl;
        loslassen();
    }

    // A string as LeseDefinition reads it, narrowed into `ziel`.
    std::string_view zeichenkette(std::unique_ptr<char[]> &ziel, std::size_t &kapazitaet)
    {
        const std::int32_t laenge = satz();
        // Empty, but pointing somewhere: its bytes are copied with memcpy.
        if (laenge <= 0)
            return std::string_view("", 0);
        if (std::uint64_t(laenge) > rest() / 4)
            throw EAFehler(100);
        if (kapazitaet < std::size_t(laenge)) {
            kapazitaet = std::max(std::size_t(laenge), 2 * kapazitaet);
            ziel.reset(new char[kapazitaet]);
        }
        schmaelern(m_basis + m_stelle, ziel.get(), std::size_t(laenge));
        m_stelle += 4 * std::uint64_t(laenge);
        loslassen();
        return {ziel.get(), std::size_t(laenge)};
    }

private:
    // Pages already read are taken out of this process's memory; they stay
    // in the page cache, and the mapping is only read, so nothing is lost.
    // The next window is mapped in one call instead of a fault every few
    // pages.
    void loslassen()
    {
        if (!m_abgebildet || m_stelle < m_fensterende)
            return;
        const std::uint64_t fenster = m_stelle & ~(Fenster - 1);
        if (fenster > m_losgelassen) {
            (void)::madvise(const_cast<unsigned char *>(m_basis + m_losgelassen), fenster - m_losgelassen,
                            MADV_DONTNEED);
            m_losgelassen = fenster;
        }
        m_fensterende = fenster + Fenster;
#ifdef MADV_POPULATE_READ
        // Only a hint: where the kernel does not know it, pages fault in.
        const std::uint64_t vor = std::min(m_fensterende + Fenster, m_groesse);
        if (vor > m_fensterende)
            (void)::madvise(const_cast<unsigned char *>(m_basis + m_fensterende), vor - m_fensterende,
                            MADV_POPULATE_READ);
#endif
    }

    const unsigned char *m_basis;
    std::uint64_t m_groesse;
    bool m_abgebildet;
    std::uint64_t m_stelle;
    std::uint64_t m_losgelassen;
    std::uint64_t m_fensterende;
};

std::string leseText(Speicherleser &leser)
{
    std::unique_ptr<char[]> puffer;
    std::size_t kapazitaet = 0;
    return std::string(leser.zeichenkette(puffer, kapazitaet));
}

} // namespace

Definitionsansicht::Definitionsansicht(Lesedatei &datei)
{
    const int fd = datei.deskriptor();
    if (fd < 0) {
        m_speicher = datei.inhaltAbgeben();
    } else if (datei.rest() > 0) {
        m_groesse = datei.rest();
        void *abbild = ::mmap(nullptr, std::size_t(m_groesse), PROT_READ, MAP_PRIVATE, fd, 0);
        if (abbild != MAP_FAILED) {
            m_abbild = abbild;
            m_fd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
            m_stand = datei.stand();
            m_wache = bewache(abbild, std::size_t(m_groesse));
            // Without a guard a shortened file would end the process.
            if (m_wache < 0) {
                ::munmap(m_abbild, std::size_t(m_groesse));
                m_abbild = nullptr;
            }
        }
        if (!m_abbild) {
            const std::string alles = datei.alles();
            m_speicher.assign(alles.begin(), alles.end());
        }
    }
    if (m_abbild) {
        m_basis = static_cast<const unsigned char *>(m_abbild);
    } else {
        m_basis = reinterpret_cast<const unsigned char *>(m_speicher.data());
        m_groesse = m_speicher.size();
    }
    // A file refused here must not keep its map and guard.
    try {
        einlesen();
    } catch (...) {
        freigeben();
        throw;
    }
}

Definitionsansicht::Definitionsansicht(std::string_view bytes)
    : m_basis(reinterpret_cast<const unsigned char *>(bytes.data()))
    , m_groesse(bytes.size())
{
    einlesen();
}

Definitionsansicht::~Definitionsansicht()
{
    freigeben();
}

void Definitionsansicht::freigeben()
{
    if (m_abbild) {
        entlasse(m_wache);
        ::munmap(m_abbild, std::size_t(m_groesse));
        m_abbild = nullptr;
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void Definitionsansicht::pruefeStand() const
{
    if (m_fd < 0)
        return;
    struct stat st;
    if (::fstat(m_fd, &st) != 0 || std::int64_t(st.st_size) != m_stand.groesse
        || std::int64_t(st.st_mtim.tv_sec) != m_stand.sekunden || std::int64_t(st.st_mtim.tv_nsec) != m_stand.nanosekunden
        || std::int64_t(st.st_ctim.tv_sec) != m_stand.aenderungSekunden
        || std::int64_t(st.st_ctim.tv_nsec) != m_stand.aenderungNanosekunden)
        throw EAFehler(100);
}

void Definitionsansicht::einlesen()
{
    try {
        Speicherleser leser(m_basis, m_groesse, m_abbild != nullptr);
        m_gliederung = gliederungBisDaten(leser);
        m_datenAnfang = leser.position();
        // Objects the lists do not have: a load fails on that, but only
        // after a read error further on.
        const std::int32_t kuerzeste = std::min({m_gliederung.listen[0], m_gliederung.listen[1], m_gliederung.listen[2]});
        if (m_gliederung.anzahl > std::max<std::int32_t>(kuerzeste, 0)) {
            pruefeDaten();
            pruefeAnzahl(m_gliederung);
        }
        Speicherleser kopf(m_basis, m_groesse, false);
        m_titel = leseText(kopf);
        m_hintergrund = kopf.satz() == 1;
        if (m_hintergrund)
            m_hintergrundpfad = leseText(kopf);
    } catch (const Fehler &) {
        pruefeUnversehrt();
        throw;
    }
    pruefeUnversehrt();
}

void Definitionsansicht::pruefeDaten() const
{
    Speicherleser leser(m_basis, m_groesse, m_abbild != nullptr, m_datenAnfang);
    for (std::int32_t i = 0; i < m_gliederung.listen[2]; ++i)
        uebergeheZeichenkette(leser);
    pruefeUnversehrt();
    pruefeStand();
}

void Definitionsansicht::pruefeUnversehrt() const
{
    if (m_abbild && wachen[m_wache].beschaedigt.load())
        throw EAFehler(100);
}

// ------------------------------------------------------------ Lauf

struct Definitionsansicht::Lauf::Zeiger
{
    Zeiger(const Definitionsansicht &a, int liste)
        : leser(a.m_basis, a.m_groesse, a.m_abbild != nullptr, a.m_gliederung.listenanfang[liste])
    {
    }

    Speicherleser leser;
    std::unique_ptr<char[]> puffer;
    std::size_t kapazitaet = 0;
};

Definitionsansicht::Lauf::Lauf(const Definitionsansicht &ansicht)
    : m_ansicht(&ansicht)
{
    m_zeiger.reset(new Zeiger[3]{{ansicht, 0}, {ansicht, 1}, {ansicht, 2}});
    for (int liste = 0; liste < 3; ++liste) {
        // The file changed since it was checked.
        if (m_zeiger[liste].leser.satz() != ansicht.m_gliederung.listen[liste])
            throw EAFehler(100);
    }
    ansicht.pruefeUnversehrt();
}

Definitionsansicht::Lauf::~Lauf() = default;
Definitionsansicht::Lauf::Lauf(Lauf &&) noexcept = default;
Definitionsansicht::Lauf &Definitionsansicht::Lauf::operator=(Lauf &&) noexcept = default;

void Definitionsansicht::Lauf::uebrigeDatenPruefen()
{
    if (m_geprueft)
        return;
    Speicherleser leser = m_zeiger[2].leser;
    for (std::int32_t i = m_index; i < m_ansicht->m_gliederung.listen[2]; ++i)
        uebergeheZeichenkette(leser);
    m_ansicht->pruefeUnversehrt();
    m_ansicht->pruefeStand();
    m_geprueft = true;
}

bool Definitionsansicht::Lauf::naechstes(Objektansicht &objekt)
{
    if (m_index >= m_ansicht->Anzahl()) {
        uebrigeDatenPruefen();
        return false;
    }
    std::string_view *felder[3] = {&objekt.Art, &objekt.Beschreibung, &objekt.Daten};
    for (int liste = 0; liste < 3; ++liste) {
        Zeiger &z = m_zeiger[liste];
        *felder[liste] = z.leser.zeichenkette(z.puffer, z.kapazitaet);
    }
    m_ansicht->pruefeUnversehrt();
    ++m_index;
    return true;
}
