// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "export.h"

#include "bilddatei.h"
#include "datei.h"
#include "definitionsansicht.h"
#include "generation.h"
#include "html5.h"
#include "objektliste.h"
#include "pfade.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Bilderordner = "bilder";

std::string kleinbuchstaben(std::string text)
{
    for (char &c : text)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

// The pictures of a document: each stored path that names a file, the copy
// it becomes and the URL the page gives it. Each file is opened and checked
// as it is taken up, and later copied from that same descriptor.
class Bildersammlung
{
public:
    explicit Bildersammlung(const std::string &ordner)
        : m_ordner(ordner)
    {
    }

    // Throws the error of a picture that is missing or may not go out.
    void aufnehmen(std::string_view gespeichert)
    {
        if (Pfade::istAdresse(gespeichert) || m_urls.find(gespeichert) != m_urls.end())
            return;
        const std::string quelle = Pfade::datei(gespeichert, m_ordner);
        // The same file under two paths is read and copied once.
        struct stat st;
        if (::stat(quelle.c_str(), &st) == 0) {
            if (const auto kopie = m_kopien.find({st.st_dev, st.st_ino}); kopie != m_kopien.end()) {
                m_urls.emplace(gespeichert, Bilderordner + "/" + Pfade::prozentkodiert(kopie->second.name));
                return;
            }
        }
        Bilddatei bild(quelle, gespeichert);
        const auto kennung = std::make_pair(bild.geraet(), bild.knoten());
        auto kopie = m_kopien.find(kennung);
        if (kopie == m_kopien.end()) {
            const std::string name = freierName(kopiename(Pfade::dateiname(quelle), bild));
            kopie = m_kopien.emplace(kennung, Kopie{std::move(bild), name}).first;
        }
        m_urls.emplace(gespeichert, Bilderordner + "/" + Pfade::prozentkodiert(kopie->second.name));
    }

    // The URL for a stored path; an address stays as it is.
    std::string_view url(std::string_view gespeichert) const
    {
        const auto it = m_urls.find(gespeichert);
        return it == m_urls.end() ? gespeichert : std::string_view(it->second);
    }

    void kopieren(const std::string &ziel) const
    {
        for (const auto &[kennung, kopie] : m_kopien)
            kopie.bild.kopiereNach(ziel + "/" + kopie.name);
    }

private:
    struct Kopie
    {
        Bilddatei bild;
        std::string name;
    };

    // The name a web server takes by what its content is: the extension of
    // the kind found, and no other dot, so that neither "x.php" nor
    // "x.php.gif" nor ".htaccess" is run or read by the server as what its
    // name says.
    static std::string kopiename(const std::string &name, const Bilddatei &bild)
    {
        const std::size_t punkt = name.rfind('.');
        std::string stamm = punkt == std::string::npos || punkt == 0 ? name : name.substr(0, punkt);
        std::replace(stamm.begin(), stamm.end(), '.', '-');
        const std::string endung = bild.endungPasst(name) ? name.substr(punkt) : std::string(".") + bild.endung();
        return (stamm.empty() ? std::string("bild") : stamm) + endung;
    }

    // Different files of the same name get distinct names; letter case
    // counts as the same, since a web server's file system may not tell.
    std::string freierName(const std::string &name)
    {
        const std::size_t punkt = name.rfind('.');
        const bool endung = punkt != std::string::npos && punkt > 0;
        const std::string stamm = endung ? name.substr(0, punkt) : name;
        const std::string rest = endung ? name.substr(punkt) : std::string();
        std::string kandidat = name;
        for (int nummer = 2; !m_namen.insert(kleinbuchstaben(kandidat)).second; ++nummer)
            kandidat = stamm + "-" + std::to_string(nummer) + rest;
        return kandidat;
    }

    const std::string m_ordner;
    std::map<std::pair<dev_t, ino_t>, Kopie> m_kopien;
    std::map<std::string, std::string, std::less<>> m_urls;
    std::set<std::string> m_namen;
};

// Whether a folder holds nothing.
bool leer(const std::string &ordner)
{
    DIR *d = ::opendir(ordner.c_str());
    if (!d)
        throw EAFehler::ausErrno(errno, true);
    bool leer = true;
    while (const dirent *eintrag = ::readdir(d)) {
        const std::string_view name = eintrag->d_name;
        if (name != "." && name != "..") {
            leer = false;
            break;
        }
    }
    ::closedir(d);
    return leer;
}

void aufDiePlatte(const std::string &ordner)
{
    const int fd = ::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

// ---- Signals while an export runs
//
// SIGINT, SIGTERM and SIGHUP must not leave the folder being built behind,
// whenever they come. Nothing the export does waits for long (pictures are
// opened without blocking and limited in size), but a page or a copy can
// still take seconds, so the handler itself removes the folder, with
// async-signal-safe calls only, from a path kept in a static buffer, and
// then lets the signal end the process as it would have. The few steps that
// must happen whole (making the folder and noting it, putting the result in
// its place) run with the signals blocked.

char g_baustelle[4096];
volatile std::sig_atomic_t g_baustelleAktiv = 0;
constexpr int Beendesignale[] = {SIGINT, SIGTERM, SIGHUP};

// Removes a folder and its content down to `tiefe` levels. Entries are
// removed while the folder is read, which can skip some, so it is read
// again until a pass removes nothing.
void entferneBaum(int eltern, const char *name, int tiefe)
{
    const int fd = ::openat(eltern, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        alignas(8) char puffer[4096];
        for (bool entfernt = true; entfernt;) {
            entfernt = false;
            (void)::lseek(fd, 0, SEEK_SET);
            for (ssize_t n; (n = ::getdents64(fd, puffer, sizeof puffer)) > 0;) {
                for (ssize_t i = 0; i < n;) {
                    const auto *eintrag = reinterpret_cast<const struct dirent64 *>(puffer + i);
                    i += eintrag->d_reclen;
                    const char *e = eintrag->d_name;
                    if (e[0] == '.' && (e[1] == '\0' || (e[1] == '.' && e[2] == '\0')))
                        continue;
                    if (::unlinkat(fd, e, 0) == 0) {
                        entfernt = true;
                    } else if (errno == EISDIR && tiefe > 0) {
                        entferneBaum(fd, e, tiefe - 1);
                        entfernt = true;
                    }
                }
            }
        }
        ::close(fd);
    }
    (void)::unlinkat(eltern, name, AT_REMOVEDIR);
}

void beiBeendesignal(int signal)
{
    if (g_baustelleAktiv)
        entferneBaum(AT_FDCWD, g_baustelle, 3);
    // The handler was reset to the default by SA_RESETHAND; the signal,
    // blocked while the handler runs, ends the process when it returns.
    (void)::raise(signal);
}

// Blocks the ending signals while it lives.
class Signalsperre
{
public:
    Signalsperre()
    {
        sigset_t signale;
        sigemptyset(&signale);
        for (const int s : Beendesignale)
            sigaddset(&signale, s);
        sigprocmask(SIG_BLOCK, &signale, &m_vorher);
    }
    ~Signalsperre() { sigprocmask(SIG_SETMASK, &m_vorher, nullptr); }
    Signalsperre(const Signalsperre &) = delete;
    Signalsperre &operator=(const Signalsperre &) = delete;

private:
    sigset_t m_vorher;
};

// The handlers while a folder is being built; a signal that was ignored
// (nohup) stays ignored.
class Signalwache
{
public:
    Signalwache()
    {
        for (std::size_t i = 0; i < std::size(Beendesignale); ++i) {
            struct sigaction neu = {};
            neu.sa_handler = beiBeendesignal;
            neu.sa_flags = SA_RESETHAND;
            sigfillset(&neu.sa_mask);
            sigaction(Beendesignale[i], nullptr, &m_vorher[i]);
            if (m_vorher[i].sa_handler != SIG_IGN)
                sigaction(Beendesignale[i], &neu, nullptr);
        }
    }
    ~Signalwache()
    {
        g_baustelleAktiv = 0;
        for (std::size_t i = 0; i < std::size(Beendesignale); ++i)
            sigaction(Beendesignale[i], &m_vorher[i], nullptr);
    }
    Signalwache(const Signalwache &) = delete;
    Signalwache &operator=(const Signalwache &) = delete;

private:
    struct sigaction m_vorher[std::size(Beendesignale)];
};

const std::string Baustellenname = ".markwerk-export-";

// Folders being built by an export that was killed (SIGKILL, a crash, a
// power cut) in `ordner`: ours by name and owner, and held by no process,
// since each export holds a lock on its folder until it ends.
void raeumeReste(const std::string &ordner)
{
    DIR *d = ::opendir(ordner.c_str());
    if (!d)
        return;
    std::vector<std::string> reste;
    while (const dirent *eintrag = ::readdir(d)) {
        const std::string_view name = eintrag->d_name;
        if (name.substr(0, Baustellenname.size()) != Baustellenname)
            continue;
        // The process number that the name carries, for whoever looks.
        const std::string_view rest = name.substr(Baustellenname.size());
        const std::size_t strich = rest.find('-');
        if (strich == 0 || strich == std::string_view::npos
            || rest.substr(0, strich).find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        reste.emplace_back(name);
    }
    ::closedir(d);
    for (const std::string &name : reste) {
        const std::string pfad = ordner + "/" + name;
        const int fd = ::open(pfad.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::error_code egal;
            std::filesystem::remove_all(pfad, egal);
        }
        ::close(fd);
    }
}

std::string elternVon(const std::string &pfad)
{
    std::string p = pfad;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    const std::size_t schraeg = p.rfind('/');
    return schraeg == std::string::npos ? "." : schraeg == 0 ? "/" : p.substr(0, schraeg);
}

// The folder being built; it goes away unless it was put in its place. It
// is built beside the target, so that nothing of it is ever inside, and
// renamed into place. An empty folder that exists is kept as it is, with
// its owner, permissions and whoever works in it: the entries are moved
// into it, the page last. Only where that cannot work (the folder is a
// mount point, or its parent cannot be written) is the export built inside
// it, under a name that the next export recognises.
class Baustelle
{
public:
    Baustelle(const std::string &ziel, bool vorhanden)
        : m_vorhanden(vorhanden)
        , m_eltern(elternVon(ziel))
    {
        raeumeReste(m_eltern);
        struct stat zielSt, elternSt;
        const bool eingehaengt = vorhanden && ::stat(ziel.c_str(), &zielSt) == 0
                                 && ::stat(m_eltern.c_str(), &elternSt) == 0 && zielSt.st_dev != elternSt.st_dev;
        if (!eingehaengt && anlegen(m_eltern))
            return;
        if (!vorhanden || (!eingehaengt && errno != EACCES && errno != EPERM && errno != EROFS))
            throw EAFehler::ausErrno(errno, false);
        if (!anlegen(ziel))
            throw EAFehler::ausErrno(errno, false);
    }
    ~Baustelle()
    {
        if (!m_pfad.empty()) {
            std::error_code egal;
            std::filesystem::remove_all(m_pfad, egal);
            g_baustelleAktiv = 0;
        }
        if (m_sperre >= 0)
            ::close(m_sperre);
    }
    Baustelle(const Baustelle &) = delete;
    Baustelle &operator=(const Baustelle &) = delete;

    const std::string &pfad() const { return m_pfad; }

    void einsetzen(const std::string &ziel, const std::string &seitenname)
    {
        aufDiePlatte(m_pfad + "/" + Bilderordner);
        // Until now only its owner could look in; the export gets the
        // permissions of any new folder.
        const mode_t maske = ::umask(0);
        ::umask(maske);
        (void)::chmod(m_pfad.c_str(), 0777 & ~maske);
        aufDiePlatte(m_pfad);
        const Signalsperre sperre;
        if (m_vorhanden) {
            // Entries that have appeared in the meantime are not replaced.
            std::vector<std::string> verschoben;
            for (const std::string &name : {std::string(Bilderordner), seitenname}) {
                if (::renameat2(AT_FDCWD, (m_pfad + "/" + name).c_str(), AT_FDCWD, (ziel + "/" + name).c_str(),
                                RENAME_NOREPLACE)
                    != 0) {
                    const int err = errno;
                    for (const std::string &zurueck : verschoben)
                        (void)::rename((ziel + "/" + zurueck).c_str(), (m_pfad + "/" + zurueck).c_str());
                    if (err == EEXIST || err == ENOTEMPTY)
                        throw Fehler("Der Zielordner ist nicht leer");
                    throw EAFehler::ausErrno(err, false);
                }
                verschoben.push_back(name);
            }
            (void)::rmdir(m_pfad.c_str());
            fertig();
            aufDiePlatte(ziel);
            return;
        }
        // An empty folder made in the meantime is replaced; one that has
        // filled is not.
        if (::rename(m_pfad.c_str(), ziel.c_str()) != 0) {
            if (errno == ENOTEMPTY || errno == EEXIST)
                throw Fehler("Der Zielordner ist nicht leer");
            throw EAFehler::ausErrno(errno, false);
        }
        fertig();
        aufDiePlatte(m_eltern);
    }

private:
    // Makes the folder in `ordner`, locked and known to the signal handler
    // before any signal can come; false with errno when it cannot be made.
    bool anlegen(const std::string &ordner)
    {
        const Signalsperre sperre;
        std::string muster = ordner + "/" + Baustellenname + std::to_string(::getpid()) + "-XXXXXX";
        if (!::mkdtemp(muster.data()))
            return false;
        m_pfad = muster;
        m_sperre = ::open(m_pfad.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (m_sperre >= 0)
            (void)::flock(m_sperre, LOCK_EX | LOCK_NB);
        if (m_pfad.size() < sizeof g_baustelle) {
            std::memcpy(g_baustelle, m_pfad.c_str(), m_pfad.size() + 1);
            g_baustelleAktiv = 1;
        }
        return true;
    }

    void fertig()
    {
        g_baustelleAktiv = 0;
        m_pfad.clear();
    }

    bool m_vorhanden;
    std::string m_eltern;
    std::string m_pfad;
    int m_sperre = -1;
};

} // namespace

bool seitennameGueltig(const std::string &name)
{
    // A web server serves .htm and .html as pages; another name (.php,
    // .htaccess) it may run or obey, with the document's own markup in it.
    const std::string klein = kleinbuchstaben(name);
    const auto endet = [&](std::string_view endung) {
        return klein.size() > endung.size() && klein.compare(klein.size() - endung.size(), endung.size(), endung) == 0;
    };
    return !name.empty() && name.find('/') == std::string::npos && name.front() != '.'
           && (endet(".htm") || endet(".html"));
}

void exportiere(const Exportauftrag &auftrag)
{
    // Every picture stays open from its check to its copy; a page may have
    // more pictures than the usual limit of 1024 descriptors.
    rlimit grenze;
    if (::getrlimit(RLIMIT_NOFILE, &grenze) == 0 && grenze.rlim_cur < grenze.rlim_max) {
        grenze.rlim_cur = grenze.rlim_max;
        (void)::setrlimit(RLIMIT_NOFILE, &grenze);
    }
    const Dateiangabe &ordner = auftrag.ordner;
    bool vorhanden = false;
    fuer(ordner, [&] {
        // The folder is built beside the target and renamed into it: no
        // writer of ours follows a link the kernel would not.
        pruefeSchreibweg(ordner.pfad);
        struct stat st;
        if (::lstat(ordner.pfad.c_str(), &st) == 0) {
            // A link to an empty folder is filled like the folder itself.
            if (S_ISLNK(st.st_mode) && ::stat(ordner.pfad.c_str(), &st) != 0)
                throw Fehler("Das Ziel ist kein Ordner");
            if (!S_ISDIR(st.st_mode))
                throw Fehler("Das Ziel ist kein Ordner");
            raeumeReste(ordner.pfad);
            if (!leer(ordner.pfad))
                throw Fehler("Der Zielordner ist nicht leer");
            vorhanden = true;
        }
    });

    std::optional<Definitionsansicht> ansicht;
    Bildersammlung bilder(ordnerVon(auftrag.definition));
    fuer(auftrag.definition, [&] {
        const std::unique_ptr<Lesedatei> datei = oeffneEingabe(auftrag.definition);
        ansicht.emplace(*datei);
        ansicht->pruefeDaten();
        if (ansicht->Hintergrund() && !ansicht->Hintergrundpfad().empty()) {
            try {
                bilder.aufnehmen(ansicht->Hintergrundpfad());
            } catch (const Fehler &f) {
                throw Fehler(std::string("Hintergrund: ") + f.what());
            }
        }
        Definitionsansicht::Lauf lauf(*ansicht);
        Objektansicht o;
        while (lauf.naechstes(o)) {
            if (o.Art != Arten::Bild)
                continue;
            try {
                bilder.aufnehmen(o.Daten);
            } catch (const Fehler &f) {
                throw ObjektFehler(lauf.nummer(), o.Art, o.Beschreibung, f.what());
            }
        }
    });

    const Signalwache signalwache;
    std::optional<Baustelle> baustelle;
    fuer(ordner, [&] {
        baustelle.emplace(ordner.pfad, vorhanden);
        const std::string bilderordner = baustelle->pfad() + "/" + Bilderordner;
        if (::mkdir(bilderordner.c_str(), 0777) != 0)
            throw EAFehler::ausErrno(errno, false);
        bilder.kopieren(bilderordner);
    });

    const std::string seite = baustelle->pfad() + "/" + auftrag.seitenname;
    const Bildpfade umschreiben = [&bilder](std::string_view pfad) { return bilder.url(pfad); };
    try {
        if (auftrag.html5)
            schreibeHtml5(seite, *ansicht, umschreiben);
        else
            Generieren(seite, *ansicht, Sonderziel::Verweigern, umschreiben);
    } catch (const ErstellFehler &) {
        throw Dateimeldung(ordner, SchreibFehler().what());
    } catch (const SchreibFehler &f) {
        throw Dateimeldung(ordner, f.what());
    } catch (const EAFehler &f) {
        // Only reading ends early; the definition changed while it was read.
        throw Dateimeldung(f.code() == 100 ? auftrag.definition : ordner, f.what());
    } catch (const Fehler &f) {
        throw Dateimeldung(auftrag.definition, f.what());
    }
    fuer(ordner, [&] { baustelle->einsetzen(ordner.pfad, auftrag.seitenname); });
}
