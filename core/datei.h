// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "fehler.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The characters of `anzahl` records of a definition file: the lowest byte
// of each little-endian 32-bit record.
void schmaelern(const unsigned char *quelle, char *ziel, std::size_t anzahl);

// What identifies a file's content on the disk: the file itself (device and
// inode), its size, its modification time and the time of its last change of
// any kind, which no program can set back. Another program that saves over
// the file changes at least one of them.
struct Dateistand
{
    std::uint64_t geraet = 0;
    std::uint64_t knoten = 0;
    std::int64_t groesse = 0;
    std::int64_t sekunden = 0;
    std::int64_t nanosekunden = 0;
    std::int64_t aenderungSekunden = 0;
    std::int64_t aenderungNanosekunden = 0;

    friend bool operator==(const Dateistand &, const Dateistand &) = default;
};

// The state of the regular file a path names, links followed; nothing when
// there is none (missing, a folder, a pipe or a device).
std::optional<Dateistand> dateistand(const std::string &pfad);

// What a write in place appends to a file's name for the copy of its old
// content that it keeps beside it while it writes ("preise.htd.markwerk-alt").
inline constexpr const char *Altkopienendung = ".markwerk-alt";

// Such a copy found beside a file that is to be read or written: a write in
// place did not end, and the file may be damaged.
class AltkopieFehler : public Fehler
{
public:
    explicit AltkopieFehler(const std::string &kopie)
        : Fehler("Neben der Datei liegt „" + kopie
                 + "“, eine Kopie ihres alten Inhalts von einem Speichern, das nicht zu Ende kam; die Datei kann "
                   "beschädigt sein. Bitte die Kopie prüfen und danach entfernen, erst dann wird die Datei wieder "
                   "gelesen und geschrieben")
    {
    }
};

// Refuses (code 5) a path whose way to its file leads through a link that
// the kernel's rule for protected links would not follow: one in a sticky
// folder that everyone may write, belonging neither to the caller nor to the
// folder's owner. Every write through a path passes this rule.
void pruefeSchreibweg(const std::string &pfad);

// A path as the kernel resolves it, every link followed, "." and ".."
// gone; nothing when it names nothing.
std::optional<std::string> echterPfad(const std::string &pfad);

// Whether two paths name the same file (same device and inode, links
// followed). False when either does not exist.
bool dieselbeDatei(const std::string &a, const std::string &b);

// A descriptor the process was given, standard input or output: read or
// written as it is and never closed, replaced or flushed to the disk by us.
struct Dateideskriptor
{
    int fd;
};

// The most a pipe is read: it is held in memory whole, and an endless one
// (yes, a generator gone wrong) must not take all of it. A gibibyte is eight
// times the largest benchmark document (133 MB, 100,000 objects, opened in
// the windows in a tenth of a second and 40 MB): about 270 million
// characters of strings, which a load holds in some 330 MB.
inline constexpr std::uint64_t Stromgrenze = std::uint64_t(1) << 30;

// A pipe that goes on beyond Stromgrenze.
class StromFehler : public Fehler
{
public:
    StromFehler();
};

// Reads a file through a buffer. Every failure throws EAFehler: a missing file
// 2, a missing folder 3, a read that gets fewer bytes than asked for 100;
// a pipe longer than Stromgrenze throws StromFehler. A device is refused as
// access (code 5).
class Lesedatei
{
public:
    // Only regular files are read unless `auchStroeme` is set: a pipe or a
    // device would block the program or never end, and is refused as access
    // (code 5) like a folder.
    explicit Lesedatei(const std::string &dateiname, bool auchStroeme = false);
    // Standard input: a regular file at its start is read as a file, a
    // device refused, anything else read whole into memory, as a pipe.
    explicit Lesedatei(Dateideskriptor offen);
    ~Lesedatei();
    Lesedatei(const Lesedatei &) = delete;
    Lesedatei &operator=(const Lesedatei &) = delete;

    // Bytes not yet read; for a file whose size is unknown (a pipe) a very
    // large number, so that nothing is reserved on trust.
    std::uint64_t rest() const;
    bool groesseBekannt() const { return m_groesseBekannt; }

    // One signed 32-bit little-endian record.
    std::int32_t satz();
    // anzahl records, each giving one character: its lowest eight bits.
    void zeichensaetze(char *ziel, std::size_t anzahl);
    // Reads everything that is left.
    std::string alles();
    // Passes over bytes without handing them out; code 100 when the file
    // ends first.
    void ueberspringen(std::uint64_t anzahl);
    // Back to the first byte, for a second pass over the file.
    void zurueckspulen();
    // The state of the file as it was opened.
    const Dateistand &stand() const { return m_stand; }
    // Bytes handed out or passed over since the start.
    std::uint64_t position() const { return m_gelesen; }

    // For readers that map the file instead of reading it: the descriptor
    // of a regular file, -1 when the file was read into memory; then
    // inhaltAbgeben() hands over its bytes and leaves this reader empty.
    int deskriptor() const { return m_imSpeicher ? -1 : m_fd; }
    std::vector<char> inhaltAbgeben();

private:
    // Makes at least `mindestens` bytes available in the buffer, or throws
    // code 100 when the file ends first.
    void fuellen(std::size_t mindestens);
    // Reads a pipe or a device to its end, into the buffer.
    void ganzEinlesen();

    int m_fd = -1;
    bool m_groesseBekannt = false;
    // A pipe or a device is read whole into the buffer at once, so that
    // every file can be passed over twice and its size is known.
    bool m_imSpeicher = false;
    std::uint64_t m_groesse = 0;
    std::uint64_t m_gelesen = 0; // bytes handed out so far
    Dateistand m_stand;
    std::vector<char> m_puffer;
    std::size_t m_anfang = 0;
    std::size_t m_ende = 0;
};

// What becomes of a target that is no regular file: a pipe, a device, a
// terminal, or a path through /proc/self/fd such as /dev/stdout. It is never
// replaced, removed or given other permissions.
enum class Sonderziel {
    Verweigern,     // refused with SonderzielFehler, as the program's windows do
    Hineinschreiben // written into as it is, as cp would
};

// Such a target, or a link to a target that the kernel would not follow (see
// pruefeSchreibweg), refused: access refused (code 5), told apart from other
// failures to create a file, which the page generator reports differently.
class SonderzielFehler : public EAFehler
{
public:
    SonderzielFehler()
        : EAFehler(5)
    {
    }
};

// Writes a file so that the target is replaced only when the new content is
// complete: the bytes go to a new file beside it, which takes the target's
// place after it has been written and flushed to the disk, with the old
// file's owner, group, permissions, extended attributes and ACLs. Until
// then, and after any failure, the previous file is untouched. A failure
// throws EAFehler (the codes for writing); the new file is then thrown away.
//
// Where the target cannot be replaced but can be written (its folder is
// closed to the user, or the file is mounted on its own), or a replacement
// would not be the same file to others (it has further hard links, or it
// belongs to another user or group that the new file could not keep), it is
// written in place instead, with a weaker guarantee: see ueberschreiben().
class Sicherungsdatei
{
public:
    explicit Sicherungsdatei(const std::string &dateiname, Sonderziel sonderziel = Sonderziel::Verweigern);
    // Standard output, written into as it is.
    explicit Sicherungsdatei(Dateideskriptor offen);
    ~Sicherungsdatei();
    Sicherungsdatei(const Sicherungsdatei &) = delete;
    Sicherungsdatei &operator=(const Sicherungsdatei &) = delete;

    void schreiben(const char *daten, std::size_t laenge);
    void schreiben(std::string_view text) { schreiben(text.data(), text.size()); }
    void satz(std::int32_t wert);
    // A string as its length record followed by one record per byte.
    void zeichenkette(std::string_view text);

    // Writes what is buffered, flushes it to the disk and puts the new file
    // in the target's place. Returns the state of the file written.
    Dateistand abschliessen();

    // Whether written bytes reach their reader at once (a pipe, a device,
    // standard output), so that nothing may be written before the content
    // is known to be complete.
    bool direkt() const { return m_weg == Weg::Direkt; }

private:
    enum class Weg {
        Ersetzen, // a new file beside the target takes its place
        ImPlatz,  // the content gathers in memory and overwrites the target
        Direkt    // straight into a pipe or device
    };

    void leeren();
    // Makes room for `noetig` bytes in the buffer: grows it while it is
    // below its full size, else writes out what it holds.
    void platz(std::size_t noetig);
    void direkt(const char *daten, std::size_t laenge);
    void ersetzen(Dateistand &stand);
    // Writes the content of `quelle` over the target, in place.
    Dateistand ueberschreiben(int quelle);

    std::string m_ziel;
    std::string m_temporaer; // name of the new file while it has one
    int m_fd = -1;
    Weg m_weg = Weg::Ersetzen;
    bool m_namenlos = false;
    bool m_geliehen = false;  // a descriptor we were given, not opened
    bool m_vorhanden = false; // the target existed when the save began
    unsigned m_modus = 0;     // its permissions
    std::vector<char> m_puffer;
    std::size_t m_belegt = 0;
    std::uint64_t m_geschrieben = 0; // bytes in the file so far
    std::uint64_t m_angestossen = 0; // bytes already sent on to the disk
};
