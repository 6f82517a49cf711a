// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#include "export.h"

#include "datei.h"
#include "definitionsansicht.h"
#include "generation.h"
#include "html5.h"
#include "objektliste.h"
#include "pfade.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
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
// it becomes and the URL the page gives it.
class Bildersammlung
{
public:
    explicit Bildersammlung(const std::string &ordner)
        : m_ordner(ordner)
    {
    }

    // Throws the missing picture's error when the path names no file.
    void aufnehmen(std::string_view gespeichert)
    {
        if (Pfade::istAdresse(gespeichert) || m_urls.find(gespeichert) != m_urls.end())
            return;
        const std::string quelle = Pfade::datei(gespeichert, m_ordner);
        if (const std::string problem = Pfade::bildproblem(gespeichert, quelle); !problem.empty())
            throw Fehler(problem);
        struct stat st;
        if (::stat(quelle.c_str(), &st) != 0)
            throw EAFehler::ausErrno(errno, true);
        // The same file under two paths is copied once.
        const auto kennung = std::make_pair(st.st_dev, st.st_ino);
        auto kopie = m_kopien.find(kennung);
        if (kopie == m_kopien.end())
            kopie = m_kopien.emplace(kennung, Kopie{quelle, freierName(Pfade::dateiname(quelle))}).first;
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
            kopiereDatei(kopie.quelle, ziel + "/" + kopie.name);
    }

private:
    struct Kopie
    {
        std::string quelle;
        std::string name;
    };

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

    static void kopiereDatei(const std::string &quelle, const std::string &ziel)
    {
        const int ein = ::open(quelle.c_str(), O_RDONLY | O_CLOEXEC);
        if (ein < 0)
            throw EAFehler::ausErrno(errno, true);
        const int aus = ::open(ziel.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (aus < 0) {
            const int err = errno;
            ::close(ein);
            throw EAFehler::ausErrno(err, false);
        }
        int fehler = 0;
        std::vector<char> puffer(std::size_t(1) << 16);
        for (;;) {
            const ssize_t n = ::read(ein, puffer.data(), puffer.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                fehler = n < 0 ? errno : 0;
                break;
            }
            for (ssize_t geschrieben = 0; geschrieben < n && fehler == 0;) {
                const ssize_t w = ::write(aus, puffer.data() + geschrieben, std::size_t(n - geschrieben));
                if (w < 0 && errno != EINTR)
                    fehler = errno;
                else if (w > 0)
                    geschrieben += w;
            }
            if (fehler != 0)
                break;
        }
        if (fehler == 0 && ::fdatasync(aus) != 0)
            fehler = errno;
        if (::close(aus) != 0 && fehler == 0)
            fehler = errno;
        ::close(ein);
        if (fehler != 0)
            throw EAFehler::ausErrno(fehler, false);
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

// The folder being built; it goes away unless it was put in its place. For a
// target that does not exist yet it is built beside it and renamed into
// place. An empty folder that exists is kept as it is, with its owner,
// permissions and mount, and with whoever works in it: the export is built
// inside it and its entries are moved up, the page last.
class Baustelle
{
public:
    Baustelle(const std::string &ziel, bool vorhanden)
        : m_imZiel(vorhanden)
    {
        const std::size_t schraeg = ziel.rfind('/');
        m_eltern = vorhanden ? ziel : schraeg == std::string::npos ? "." : schraeg == 0 ? "/" : ziel.substr(0, schraeg);
        std::string muster = m_eltern + "/.markwerk-export-XXXXXX";
        if (!::mkdtemp(muster.data()))
            throw EAFehler::ausErrno(errno, false);
        m_pfad = muster;
        // mkdtemp makes the folder its owner's alone; the export gets the
        // permissions of any new folder.
        const mode_t maske = ::umask(0);
        ::umask(maske);
        (void)::chmod(m_pfad.c_str(), 0777 & ~maske);
    }
    ~Baustelle()
    {
        if (!m_pfad.empty()) {
            std::error_code egal;
            std::filesystem::remove_all(m_pfad, egal);
        }
    }
    Baustelle(const Baustelle &) = delete;
    Baustelle &operator=(const Baustelle &) = delete;

    const std::string &pfad() const { return m_pfad; }

    void einsetzen(const std::string &ziel, const std::string &seitenname)
    {
        aufDiePlatte(m_pfad + "/" + Bilderordner);
        aufDiePlatte(m_pfad);
        if (m_imZiel) {
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
            m_pfad.clear();
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
        m_pfad.clear();
        aufDiePlatte(m_eltern);
    }

private:
    bool m_imZiel;
    std::string m_eltern;
    std::string m_pfad;
};

} // namespace

bool seitennameGueltig(const std::string &name)
{
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != ".."
           && kleinbuchstaben(name) != Bilderordner;
}

void exportiere(const Exportauftrag &auftrag)
{
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
