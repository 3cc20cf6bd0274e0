<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="pl_PL">
<context>
    <name>CAlarm</name>
    <message>
        <location filename="../../src/core/model/CAlarm.cpp" line="+26"/>
        <source>raz</source>
        <translation>einmal</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>codziennie</source>
        <translation>täglich</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>dni robocze</source>
        <translation>Montag bis Freitag</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>weekend</source>
        <translation>am Wochenende</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>tygodniowo</source>
        <translation>wöchentlich</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>miesięcznie</source>
        <translation>monatlich</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>rocznie</source>
        <translation>jährlich</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>budzenie</source>
        <translation>Wecken</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>wstrzymanie</source>
        <translation>Standby</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>hibernacja</source>
        <translation>Ruhezustand</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>wyłączenie</source>
        <translation>Herunterfahren</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>komunikat</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>dźwięk</source>
        <translation>Ton</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>program</source>
        <translation>Programm</translation>
    </message>
</context>
<context>
    <name>zembra::CAboutDlg</name>
    <message>
        <location filename="../../src/app/CAboutDlg.cpp" line="+181"/>
        <source>O programie</source>
        <translation>Über Zembra</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zembra wersja %1</source>
        <translation>Zembra Version %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copyright © autorzy projektu Zembra</source>
        <translation>Copyright © die Autoren des Zembra-Projekts</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plik pomocy (polski):</source>
        <translation>Hilfedatei (Polnisch):</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+2"/>
        <source>autorzy projektu Zembra</source>
        <translation>Autoren des Zembra-Projekts</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Plik pomocy (angielski):</source>
        <translation>Hilfedatei (Englisch):</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Odpowiedzi na pytania o program Zembra znajdziesz na stronach pomocy projektu:</source>
        <translation>Antworten auf Fragen zu Zembra finden Sie auf den Hilfeseiten des Projekts:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>i</source>
        <translation>und</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Strona programu: %1</source>
        <translation>Webseite des Programms: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Strona projektu: %1</source>
        <translation>Webseite des Projekts: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>E-mail programu: %1</source>
        <translation>E-Mail zum Programm: %1</translation>
    </message>
</context>
<context>
    <name>zembra::CAlarmDialog</name>
    <message>
        <location filename="../../src/ui/CAlarmDialog.cpp" line="+352"/>
        <source>Alarm</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Anuluj</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Częstotliwość:</source>
        <translation>Häufigkeit:</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Akcja zostanie wykonana tylko jeden raz, w określonym dniu i godzinie</source>
        <translation>Die Aktion wird nur ein einziges Mal ausgeführt, am festgelegten Tag zur festgelegten Uhrzeit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Akcja wykonywana jest każdego dnia o określonej godzinie, począwszy od ustalonego dnia.</source>
        <translation>Die Aktion wird jeden Tag zur festgelegten Uhrzeit ausgeführt, beginnend mit dem festgelegten Tag.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Budzik, który nie zadzwoni w sobotę lub niedzielę, dając spokojnie pospać</source>
        <translation>Ein Wecker, der samstags und sonntags still bleibt, damit Sie in Ruhe ausschlafen können</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Akcja występuje tylko w sobotę i niedzielę o określonej godzinie, począwszy od ustalonego dnia</source>
        <translation>Die Aktion wird nur samstags und sonntags zur festgelegten Uhrzeit ausgeführt, beginnend mit dem festgelegten Tag</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Akcja wykonywana jest co tydzień o określonej godzinie, począwszy od ustalonego dnia</source>
        <translation>Die Aktion wird jede Woche zur festgelegten Uhrzeit ausgeführt, beginnend mit dem festgelegten Tag</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Akcja wykonywana jest co miesiąc o określonej godzinie, począwszy od ustalonego dnia</source>
        <translation>Die Aktion wird jeden Monat zur festgelegten Uhrzeit ausgeführt, beginnend mit dem festgelegten Tag</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Akcja wykonywana jest tylko raz w roku o określonej godzinie, począwszy od ustalonego dnia</source>
        <translation>Die Aktion wird nur einmal im Jahr zur festgelegten Uhrzeit ausgeführt, beginnend mit dem festgelegten Tag</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Czas:</source>
        <translation>Zeit:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Czas wystąpienia danego zdarzenia</source>
        <translation>Uhrzeit, zu der das Ereignis eintritt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dzień pierwszego wystąpienia danego zdarzenia</source>
        <translation>Tag, an dem das Ereignis zum ersten Mal eintritt</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Typ:</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Obudzenie komputera ze stanu wstrzymania</source>
        <translation>Weckt den Computer aus dem Standby-Modus</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Przejście komputera w stan wstrzymania o ustalonej porze</source>
        <translation>Versetzt den Computer zur festgelegten Zeit in den Standby-Modus</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wyłączenie komputera o ustalonej przez użytkownika porze</source>
        <translation>Fährt den Computer zur festgelegten Zeit herunter</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Słowny opis zdarzenia</source>
        <translation>Kurze Beschreibung des Ereignisses in eigenen Worten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Akcja:</source>
        <translation>Aktion:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Aktywacja akcji wyświetlania komunikatu obok zegara</source>
        <translation>Aktiviert die Anzeige einer Meldung neben der Uhr</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Treść komunikatu pokazującego się obok zegara</source>
        <translation>Text der Meldung, die neben der Uhr angezeigt wird</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Aktywacja akcji odtwarzania dźwięku</source>
        <translation>Aktiviert die Wiedergabe eines Tons</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plik dźwiękowy w formacie WAV, MP3, Ogg lub FLAC</source>
        <translation>Audiodatei im Format WAV, MP3, Ogg oder FLAC</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Program</source>
        <translation>&amp;Programm</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Treść komunikatu</source>
        <translation>Meldungstext</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plik dźwiękowy</source>
        <translation>Audiodatei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Polecenie uruchamiające program</source>
        <translation>Befehl, der das Programm startet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wybierz plik dźwiękowy</source>
        <translation>Audiodatei auswählen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wybierz program</source>
        <translation>Programm auswählen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Akt&amp;ywny</source>
        <translation>Akt&amp;iv</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>&amp;Stop</source>
        <translation>St&amp;opp</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Gra&amp;j</source>
        <translation>&amp;Abspielen</translation>
    </message>
    <message>
        <location line="+122"/>
        <source>Pliki dźwiękowe (*.wav *.mp3 *.ogg *.oga *.flac);;Wszystkie pliki (*)</source>
        <translation>Audiodateien (*.wav *.mp3 *.ogg *.oga *.flac);;Alle Dateien (*)</translation>
    </message>
    <message>
        <location line="-150"/>
        <source>Wskazywanie dźwięku do odtwarzania w trakcie alarmu</source>
        <translation>Wählt den Ton, der beim Alarm abgespielt wird</translation>
    </message>
    <message>
        <location line="-48"/>
        <source>&amp;Raz</source>
        <translation>&amp;Einmal</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Codziennie</source>
        <translation>Tä&amp;glich</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Dni robocze</source>
        <translation>Montag bis &amp;Freitag</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Weekend</source>
        <translation>Am &amp;Wochenende</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Co &amp;tydzień</source>
        <translation>Wöc&amp;hentlich</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Co &amp;miesiąc</source>
        <translation>&amp;Monatlich</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Co ro&amp;k</source>
        <translation>&amp;Jährlich</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>&amp;Godzina:</source>
        <translation>&amp;Uhrzeit:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>D&amp;ata:</source>
        <translation>&amp;Datum:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Budzenie</source>
        <translation>We&amp;cken</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wstrzyma&amp;nie</source>
        <translation>&amp;Standby</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Hibernacja</source>
        <translation>Ruhe&amp;zustand</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wy&amp;łączenie</source>
        <translation>He&amp;runterfahren</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>K&amp;omentarz:</source>
        <translation>&amp;Kommentar:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Kom&amp;unikat</source>
        <translation>Me&amp;ldung</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Dźw&amp;ięk</source>
        <translation>&amp;Ton</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Odtwarzanie wybranego dźwięku</source>
        <translation>Spielt den ausgewählten Ton ab</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Aktywacja akcji uruchamiania programu</source>
        <translation>Aktiviert das Starten eines Programms</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uruchamiany program</source>
        <translation>Programm, das gestartet wird</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wskazywanie programu do uruchamiania w trakcie alarmu</source>
        <translation>Wählt das Programm, das beim Alarm gestartet wird</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Aktywacja alarmu</source>
        <translation>Schaltet den Alarm ein oder aus</translation>
    </message>
    <message>
        <location line="+149"/>
        <source>Pliki wykonywalne (*.exe *.bat *.cmd);;Wszystkie pliki (*)</source>
        <translation>Ausführbare Dateien (*.exe *.bat *.cmd);;Alle Dateien (*)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Pliki wykonywalne (*);;Wszystkie pliki (*)</source>
        <translation>Ausführbare Dateien (*);;Alle Dateien (*)</translation>
    </message>
    <message>
        <location line="+68"/>
        <source>Nie można odtworzyć dźwięku!</source>
        <translation>Der Ton kann nicht abgespielt werden!</translation>
    </message>
</context>
<context>
    <name>zembra::CAlarmList</name>
    <message>
        <location filename="../../src/ui/CAlarmList.cpp" line="+79"/>
        <source>Lista alarmów</source>
        <translation>Alarmliste</translation>
    </message>
</context>
<context>
    <name>zembra::CAlarmListModel</name>
    <message>
        <location filename="../../src/ui/CAlarmListModel.cpp" line="+147"/>
        <source>Aktywny</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Czas</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Komentarz</source>
        <translation>Kommentar</translation>
    </message>
</context>
<context>
    <name>zembra::CAlarmPropDialog</name>
    <message>
        <location filename="../../src/ui/CAlarmPropDialog.cpp" line="+37"/>
        <location line="+31"/>
        <source>Właściwości wybranego alarmu</source>
        <translation>Eigenschaften des ausgewählten Alarms</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>Rodzaj:</source>
        <translation>Art:</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+28"/>
        <source>Czas:</source>
        <translation>Zeit:</translation>
    </message>
    <message>
        <location line="-27"/>
        <location line="+28"/>
        <source>Akcja:</source>
        <translation>Aktion:</translation>
    </message>
    <message>
        <location line="-27"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>brak</source>
        <translation>keine</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Typ:</source>
        <translation>Typ:</translation>
    </message>
</context>
<context>
    <name>zembra::CAlerterWindow</name>
    <message>
        <location filename="../../src/alert/CAlerterWindow.cpp" line="+197"/>
        <source>Do uśpienia zostało:</source>
        <translation>Zeit bis zum Standby:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Do hibernacji zostało:</source>
        <translation>Zeit bis zum Ruhezustand:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Do wyłączenia zostało:</source>
        <translation>Zeit bis zum Herunterfahren:</translation>
    </message>
    <message>
        <location line="+201"/>
        <source>Nie można odtworzyć dźwięku: %1</source>
        <translation>Der Ton kann nicht abgespielt werden: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zamiast niego dzwoni wbudowany sygnał alarmu.</source>
        <translation>Stattdessen ertönt der eingebaute Alarmton.</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>Nie uruchomiono programu: %1</source>
        <translation>Programm nicht gestartet: %1</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Nie można uruchomić programu %1: %2</source>
        <translation>Das Programm %1 kann nicht gestartet werden: %2</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>odtwarzanie nie powiodło się</source>
        <translation>Wiedergabe fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Nie udało się wstrzymać komputera: %1</source>
        <translation>Der Computer konnte nicht in den Standby-Modus versetzt werden: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nie udało się zahibernować komputera: %1</source>
        <translation>Der Computer konnte nicht in den Ruhezustand versetzt werden: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nie udało się wyłączyć komputera: %1</source>
        <translation>Der Computer konnte nicht heruntergefahren werden: %1</translation>
    </message>
</context>
<context>
    <name>zembra::CDialogSettings</name>
    <message>
        <location filename="../../src/ui/CDialogSettings.cpp" line="+51"/>
        <location line="+7"/>
        <location line="+174"/>
        <source>&lt;domyślny&gt;</source>
        <translation>&lt;Standard&gt;</translation>
    </message>
    <message>
        <location line="-36"/>
        <source>Ustawienia</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Anuluj</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zachowanie</source>
        <translation>Verhalten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Startuj z systemem</source>
        <translation>Automatisch bei der &amp;Anmeldung starten</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Ustaw &amp;maksymlaną głośność przy budzeniu</source>
        <translation>Beim Wecken &amp;maximale Lautstärke einstellen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Powtarzaj dźwięk aż do wyłączenia</source>
        <translation>Ton &amp;wiederholen, bis er abgeschaltet wird</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Drzemka:</source>
        <translation>Sch&amp;lummern:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Ukrywaj okno przy starcie</source>
        <translation>Fenster beim Start aus&amp;blenden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Otwieraj ostatnią konfigurację po starcie</source>
        <translation>Beim Start die zuletzt verwendete Alarmliste &amp;öffnen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>P&amp;rzycisk uśpienia:</source>
        <translation>&amp;Standby-Schaltfläche:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Prz&amp;eźroczystość okienka powiadamiania:</source>
        <translation>&amp;Transparenz des Benachrichtigungsfensters:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Język:</source>
        <translation>S&amp;prache:</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>Umożliwia włączenie automatycznego uruchomienia programu przy starcie systemu</source>
        <translation>Startet das Programm automatisch, wenn Sie sich anmelden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zmienia systemowe ustawienie głośności do maksymalnego poziomu (tylko na czas odtwarzania dźwięku alarmu)</source>
        <translation>Stellt die Systemlautstärke auf das Maximum (nur während der Alarmton spielt)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Odtwarza dźwięk alarmu od początku, dopóki alarm nie zostanie potwierdzony albo odłożony na drzemkę, najdłużej przez 15 minut</source>
        <translation>Spielt den Alarmton immer wieder von vorn, bis Sie den Alarm abstellen oder schlummern lassen, höchstens 15 Minuten lang</translation>
    </message>
    <message>
        <location line="+4"/>
        <source> min</source>
        <translation> Min.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Czas drzemki proponowany jako pierwszy: dzwoniący alarm odłożony poleceniem Drzemka zadzwoni znowu po tylu minutach</source>
        <translation>Die zuerst angebotene Schlummerdauer: Ein klingelnder Alarm, den Sie mit dem Befehl Schlummern zurückstellen, klingelt nach so vielen Minuten erneut</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Autoukrywanie okna programu po jego uruchomieniu</source>
        <translation>Blendet das Programmfenster gleich nach dem Start aus</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Wczytuje ostatni zestaw alarmów</source>
        <translation>Lädt die zuletzt verwendete Alarmliste</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Uśpienie</source>
        <translation>Standby</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hibernacja</source>
        <translation>Ruhezustand</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>0% - w pełni widoczne, 90% - prawie niewidoczne</source>
        <translation>0 % – voll sichtbar, 90 % – fast unsichtbar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Przeźroczystość w procentach</source>
        <translation>Transparenz in Prozent</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Wygląd</source>
        <translation>Darstellung</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Umożliwia wybór języka programu. Język domyślny to język systemu operacyjnego (jeśli istnieje)</source>
        <translation>Legt die Sprache des Programms fest. Standardmäßig verwendet Zembra die Sprache des Betriebssystems, sofern es sie anbietet</translation>
    </message>
</context>
<context>
    <name>zembra::CHelpWindow</name>
    <message>
        <location filename="../../src/app/CHelpWindow.cpp" line="+432"/>
        <source>Pomoc programu Zembra</source>
        <translation>Hilfe zu Zembra</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wstecz</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Poprzednia strona</source>
        <translation>Vorige Seite</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Dalej</source>
        <translation>Vorwärts</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Następna strona</source>
        <translation>Nächste Seite</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Spis treści</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Szukaj na stronie:</source>
        <translation>Auf der Seite &amp;suchen:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Szukany tekst</source>
        <translation>Suchtext</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Poprzednie</source>
        <translation>Vorige</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Szukaj wstecz</source>
        <translation>Rückwärts suchen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Następne</source>
        <translation>Nächste</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Szukaj dalej</source>
        <translation>Weitersuchen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Lista tematów</source>
        <translation>Themen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Treść strony pomocy</source>
        <translation>Text der Hilfeseite</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Nie znaleziono: %1</source>
        <translation>Nicht gefunden: %1</translation>
    </message>
</context>
<context>
    <name>zembra::CLateAlarmsNotice</name>
    <message>
        <location filename="../../src/ui/CLateAlarmsNotice.cpp" line="+27"/>
        <source>Zaplanowane uśpienie pominięte</source>
        <translation>Geplanter Standby übersprungen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Zaplanowana hibernacja pominięta</source>
        <translation>Geplanter Ruhezustand übersprungen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Zaplanowane wyłączenie pominięte</source>
        <translation>Geplantes Herunterfahren übersprungen</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1 %2: spóźniony o %3 min</source>
        <translation>%1 %2: %3 Min. verspätet</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Drzemka nie zadzwoniła</source>
        <translation>Der zurückgestellte Alarm hat nicht erneut geklingelt</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Zembra: alarmy z opóźnieniem</source>
        <translation>Zembra: Verspätete Alarme</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Te alarmy zadzwoniły z opóźnieniem, bo komputer był uśpiony albo program nie działał w ich porze. Spóźniony alarm nie usypia ani nie wyłącza komputera.</source>
        <translation>Diese Alarme haben verspätet geklingelt, weil der Computer zu dieser Zeit im Standby-Modus war oder Zembra nicht lief. Ein verspäteter Alarm versetzt den Computer nie in den Standby-Modus oder Ruhezustand und fährt ihn nie herunter.</translation>
    </message>
</context>
<context>
    <name>zembra::CMainFrame</name>
    <message>
        <location filename="../../src/app/CMainFrame.cpp" line="+378"/>
        <source>&amp;Plik</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Alarm</source>
        <translation>&amp;Alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Opcje</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Język</source>
        <translation>&amp;Sprache</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomo&amp;c</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+5"/>
        <source>&amp;Nowy</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>&amp;Otwórz...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Zapisz</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zapisz &amp;jako...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Wyjście</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Edytuj</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Usuń</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Wstrzymaj komputer</source>
        <translation>&amp;Standby</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Potwierdź</source>
        <translation>Alarm &amp;abstellen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wyczyść &amp;komunikaty</source>
        <translation>&amp;Meldungen löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Ustawienia</source>
        <translation>&amp;Einstellungen...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Sprawdź wybudzanie…</source>
        <translation>Wecken &amp;testen...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>U&amp;kryj</source>
        <translation>&amp;Ausblenden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Przywróć</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Tematy pomocy</source>
        <translation>&amp;Hilfethemen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomoc &amp;kontekstowa</source>
        <translation>&amp;Was ist das?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Porada dnia</source>
        <translation>&amp;Tipp des Tages...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;O programie...</source>
        <translation>&amp;Über Zembra...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomoc</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Dodaje nowy alarm</source>
        <translation>Fügt einen neuen Alarm hinzu</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Usuwa wybrany alarm</source>
        <translation>Löscht den ausgewählten Alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Edytuje wybrany alarm</source>
        <translation>Bearbeitet den ausgewählten Alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wstrzymuje komputer</source>
        <translation>Versetzt den Computer in den Standby-Modus</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kończy odtwarzanie dźwięku alarmu</source>
        <translation>Stellt den klingelnden Alarm ab</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Usuwa komunikaty z okienka obok zegara</source>
        <translation>Entfernt die Meldungen aus dem Fenster neben der Uhr</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>&amp;Drzemka</source>
        <translation>Schl&amp;ummern</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1 min</source>
        <translation>%1 Min.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 (domyślnie)</source>
        <translation>%1 (Standard)</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>%1 o %2</source>
        <translation>%1 um %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Odłóż o 5 min</source>
        <translation>Um 5 Minuten verschieben</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Odłóż o 30 min</source>
        <translation>Um 30 Minuten verschieben</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pomiń tym razem</source>
        <translation>Diesmal überspringen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Teraz</source>
        <translation>Jetzt</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Wstrzymaj</source>
        <comment>toolbar</comment>
        <translation>Standby</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomoc kontekstowa</source>
        <comment>toolbar</comment>
        <translation>Was ist das?</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Nowa lista alarmów</source>
        <translation>Neue Alarmliste</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nowy alarm</source>
        <translation>Neuer Alarm</translation>
    </message>
    <message>
        <location line="+59"/>
        <source>Ten pulpit nie ma obszaru powiadomień, więc okno Zembry zostaje zminimalizowane zamiast ukryte. Alarmy działają dalej; program kończy polecenie Wyjście.</source>
        <translation>Diese Arbeitsumgebung hat keinen Infobereich, daher wird das Zembra-Fenster minimiert statt ausgeblendet. Die Alarme bleiben aktiv; beendet wird das Programm mit dem Befehl Beenden.</translation>
    </message>
</context>
<context>
    <name>zembra::CPowerCountdown</name>
    <message>
        <location filename="../../src/ui/CPowerCountdown.cpp" line="+57"/>
        <location line="+243"/>
        <source>Zembra: odliczanie</source>
        <translation>Zembra: Countdown</translation>
    </message>
    <message>
        <location line="-235"/>
        <source>Uśpienie komputera</source>
        <translation>Standby</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Hibernacja komputera</source>
        <translation>Ruhezustand</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Wyłączenie komputera</source>
        <translation>Herunterfahren</translation>
    </message>
    <message>
        <location line="+153"/>
        <source>%1 za %2</source>
        <translation>%1 in %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Alarm o %1</source>
        <translation>Alarm um %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Alarm „%1” o %2</source>
        <translation>Alarm „%1“ um %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Zablokowane przez: %1</source>
        <translation>Blockiert durch: %1</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Odłóż o 5 min</source>
        <translation>Um 5 Minuten verschieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Odłóż o 30 min</source>
        <translation>Um 30 Minuten verschieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomiń tym razem</source>
        <translation>Diesmal überspringen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Teraz</source>
        <translation>Jetzt</translation>
    </message>
</context>
<context>
    <name>zembra::CSoundDevice</name>
    <message>
        <location filename="../../src/alert/CSoundDevice.cpp" line="+35"/>
        <source>tego pliku nie da się odtworzyć</source>
        <translation>diese Datei kann nicht abgespielt werden</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>odtwarzanie nie powiodło się</source>
        <translation>die Wiedergabe ist fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>nie wybrano pliku dźwiękowego</source>
        <translation>es wurde keine Tondatei gewählt</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>nie ma pliku %1</source>
        <translation>die Datei %1 existiert nicht</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 nie jest plikiem</source>
        <translation>%1 ist keine Datei</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>nie można odczytać pliku %1: %2</source>
        <translation>die Datei %1 kann nicht gelesen werden: %2</translation>
    </message>
</context>
<context>
    <name>zembra::CStartupTip</name>
    <message>
        <location filename="../../src/ui/CStartupTip.cpp" line="+124"/>
        <source>Czy wiesz że...</source>
        <translation>Wussten Sie schon...</translation>
    </message>
</context>
<context>
    <name>zembra::CStatusDIalog</name>
    <message>
        <location filename="../../src/ui/CStatusDIalog.cpp" line="+67"/>
        <source>Najbliższy alarm:
brak
</source>
        <translation>Nächster Alarm:
keiner
</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>Aktualny stan</source>
        <translation>Aktueller Status</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kopiuj polecenie</source>
        <translation>Befehl kopieren</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Czas do najbliższego alarmu</source>
        <translation>Zeit bis zum nächsten Alarm</translation>
    </message>
</context>
<context>
    <name>zembra::CSystemTray</name>
    <message>
        <location filename="../../src/app/CSystemTray.cpp" line="+254"/>
        <source>&amp;O programie...</source>
        <translation>&amp;Über Zembra...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Przywróć</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Ukryj</source>
        <translation>&amp;Ausblenden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Potwierdź alarm</source>
        <translation>Alarm abstellen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wyczyść &amp;komunikaty</source>
        <translation>&amp;Meldungen löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Wyjście</source>
        <translation>&amp;Beenden</translation>
    </message>
</context>
<context>
    <name>zembra::CTipsDialog</name>
    <message>
        <location filename="../../src/ui/CTipsDialog.cpp" line="+92"/>
        <source>Porada dnia</source>
        <translation>Tipp des Tages</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Pokazuj porady przy starcie</source>
        <translation>Tipps beim Start &amp;anzeigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Następna</source>
        <translation>&amp;Nächster Tipp</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>zembra::CWakeTest</name>
    <message>
        <location filename="../../src/app/CWakeTest.cpp" line="+77"/>
        <source>Nie można utworzyć budzika testowego: %1</source>
        <translation>Der Testwecker kann nicht erstellt werden: %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Nie można wstrzymać komputera: obsługa zasilania jest niedostępna.</source>
        <translation>Der Computer kann nicht in den Standby-Modus versetzt werden: Die Energieverwaltung ist nicht verfügbar.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Nie można nastawić budzika testowego: %1</source>
        <translation>Der Testwecker kann nicht gestellt werden: %1</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>System odmówił uśpienia: %1</source>
        <translation>Das System hat den Standby-Modus abgelehnt: %1</translation>
    </message>
</context>
<context>
    <name>zembra::CWakeTestDialog</name>
    <message>
        <location filename="../../src/ui/CWakeTestDialog.cpp" line="+118"/>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 min</source>
        <translation>%1 Min.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Sprawdzanie wybudzania</source>
        <translation>Wecken testen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Test sprawdza, czy Zembra potrafi wybudzić ten komputer. Po kliknięciu „Rozpocznij” Zembra nastawi osobny budzik testowy na 60 sekund naprzód i wstrzyma komputer. Komputer powinien sam się obudzić po około minucie; nie dotykaj go do tego czasu. Potem to okno powie, jak poszło. Alarmy z listy działają w tym czasie jak zwykle.

Zanim zaczniesz, zapisz swoją pracę w innych programach.</source>
        <translation>Der Test prüft, ob Zembra diesen Computer aufwecken kann. Nach einem Klick auf „Starten“ stellt Zembra einen eigenen Testwecker auf 60 Sekunden später und versetzt den Computer in den Standby-Modus. Der Computer sollte nach etwa einer Minute von selbst aufwachen; berühren Sie ihn bis dahin nicht. Danach zeigt dieses Fenster das Ergebnis. Die Alarme Ihrer Liste funktionieren währenddessen wie gewohnt.

Speichern Sie vor dem Start Ihre Arbeit in anderen Programmen.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Uwaga: Zembra nie może teraz wybudzić tego komputera: %1
Test pokaże, że komputer zasypia, ale nie budzi się sam.</source>
        <translation>Hinweis: Zembra kann diesen Computer derzeit nicht aufwecken: %1
Der Test wird zeigen, dass der Computer in den Standby-Modus wechselt, aber nicht von selbst aufwacht.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Polecenie naprawiające budzenie</source>
        <translation>Befehl, der das Aufwecken behebt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Rozpocznij</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Zamknij</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Test trwa: budzik testowy nastawiono na %1. Komputer za chwilę zaśnie i powinien sam się obudzić o tej porze.</source>
        <translation>Test läuft: Der Testwecker ist auf %1 gestellt. Der Computer wechselt gleich in den Standby-Modus und sollte zu dieser Zeit von selbst aufwachen.</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Komputer obudził się sam o nastawionej porze (spał %1). Budzenie działa: alarmy wybudzą ten komputer.</source>
        <translation>Der Computer ist zur gestellten Zeit von selbst aufgewacht (er war %1 im Standby-Modus). Das Aufwecken funktioniert: Alarme wecken diesen Computer.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Komputer obudzono ręcznie %1 przed nastawioną porą (spał %2), więc test nie rozstrzygnął, czy budzik by go obudził. Powtórz test i nie dotykaj komputera, dopóki sam się nie obudzi.</source>
        <translation>Der Computer wurde %1 vor der gestellten Zeit von Hand geweckt (er war %2 im Standby-Modus), daher konnte der Test nicht klären, ob der Wecker ihn geweckt hätte. Wiederholen Sie den Test und berühren Sie den Computer nicht, bis er von selbst aufwacht.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Komputer nie obudził się sam: spał %1 i wrócił dopiero %2 po nastawionej porze. Budzik go nie wybudził.</source>
        <translation>Der Computer ist nicht von selbst aufgewacht: Er war %1 im Standby-Modus und wachte erst %2 nach der gestellten Zeit auf. Der Wecker hat ihn nicht geweckt.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Przyczyna: %1</source>
        <translation>Grund: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Zembra nastawiła budzik, ale system albo sprzęt go nie posłuchał. Sprawdź w ustawieniach BIOS/UEFI, czy budzenie zegarem (RTC) jest włączone, i powtórz test.</source>
        <translation>Zembra hat den Wecker gestellt, aber System oder Hardware haben ihn ignoriert. Prüfen Sie in den BIOS/UEFI-Einstellungen, ob das Wecken durch die Echtzeituhr (RTC) aktiviert ist, und wiederholen Sie den Test.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Komputer nie zasnął, więc wybudzania nie sprawdzono. System odmówił uśpienia, uśpienie było tylko symulowane (--simulate-power) albo wstrzymał je inny program.</source>
        <translation>Der Computer hat nicht in den Standby-Modus gewechselt, daher wurde das Aufwecken nicht geprüft. Das System hat den Standby-Modus abgelehnt, er war nur simuliert (--simulate-power) oder ein anderes Programm hat ihn verhindert.</translation>
    </message>
</context>
<context>
    <name>zembra::CZembracfgApp</name>
    <message>
        <location filename="../../src/app/CZembracfgApp.cpp" line="+191"/>
        <source>Budzik systemowy jest niedostępny: %1
Alarmy nie zadzwonią, dopóki ten problem nie zniknie.</source>
        <translation>Der Systemwecker ist nicht verfügbar: %1
Alarme klingeln erst wieder, wenn dieses Problem behoben ist.</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>nowej listy</source>
        <translation>einer neuen Liste</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Zembra zakończyła pracę, gdy zmiany w %1 nie były zapisane. Ich kopia została zachowana.
Przywrócić niezapisane zmiany?</source>
        <translation>Zembra wurde beendet, während die Änderungen an %1 nicht gespeichert waren. Eine Kopie wurde aufbewahrt.
Die nicht gespeicherten Änderungen wiederherstellen?</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Alarmy nie wybudzą uśpionego komputera: %1</source>
        <translation>Alarme wecken den Computer nicht aus dem Standby-Modus: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Gdy komputer nie śpi, alarmy dzwonią o czasie; alarmy, które minęły w czasie snu, zadzwonią po jego wybudzeniu. To samo pokazuje panel Aktualny stan.</source>
        <translation>Solange der Computer eingeschaltet ist, klingeln Alarme pünktlich; Alarme, deren Zeit im Standby-Modus verstreicht, klingeln gleich nach dem Aufwachen. Dasselbe zeigt auch der Bereich „Aktueller Status“.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Nie pokazuj więcej</source>
        <translation>Nicht mehr anzeigen</translation>
    </message>
</context>
<context>
    <name>zembra::CZembracfgDoc</name>
    <message>
        <location filename="../../src/app/CZembracfgDoc.cpp" line="+205"/>
        <source>Nie można zapisać zgody w ustawieniach; programy nadal są wstrzymane.</source>
        <translation>Ihre Erlaubnis konnte nicht in den Einstellungen gespeichert werden; die Programme bleiben gesperrt.</translation>
    </message>
    <message>
        <location line="+136"/>
        <location line="+216"/>
        <source>Nie można otworzyć pliku %1.
%2</source>
        <translation>Die Datei %1 kann nicht geöffnet werden.
%2</translation>
    </message>
    <message>
        <location line="-212"/>
        <source>Plik %1 nie jest poprawną listą alarmów.
%2</source>
        <translation>Die Datei %1 ist keine gültige Alarmliste.
%2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Plik %1 nie zawiera listy alarmów.
%2</source>
        <translation>Die Datei %1 enthält keine Alarmliste.
%2</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Bieżąca lista alarmów pozostaje bez zmian.</source>
        <translation>Die aktuelle Alarmliste bleibt unverändert.</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Plik %1 jest chroniony przed zapisem.
Zapisz listę pod inną nazwą (Plik &gt; Zapisz jako...).
Zmiany nie zostały zapisane.</source>
        <translation>Die Datei %1 ist schreibgeschützt.
Speichern Sie die Liste unter einem anderen Namen (Datei &gt; Speichern unter...).
Die Änderungen wurden nicht gespeichert.</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Nie można zapisać pliku %1.
%2
Zmiany nie zostały zapisane.</source>
        <translation>Die Datei %1 kann nicht gespeichert werden.
%2
Die Änderungen wurden nicht gespeichert.</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Plik %1 został zmieniony na dysku po wczytaniu listy.</source>
        <translation>Die Datei %1 wurde auf dem Datenträger geändert, nachdem die Liste geladen wurde.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Zapisać listę z okna i zastąpić tamte zmiany?</source>
        <translation>Die Liste aus dem Fenster speichern und jene Änderungen ersetzen?</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>Plik %1 został usunięty lub przeniesiony. Lista pozostaje w programie jako niezapisana.</source>
        <translation>Die Datei %1 wurde gelöscht oder verschoben. Die Liste bleibt in Zembra geöffnet, aber ungespeichert.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Lista została przeczytana ponownie, bo zmieniono ją na dysku.</source>
        <translation>Die Liste wurde neu geladen, weil sie auf dem Datenträger geändert wurde.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Lista została przeczytana ponownie z dysku.</source>
        <translation>Die Liste wurde neu vom Datenträger geladen.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Lista %1 została zmieniona na dysku, ale nie jest poprawną listą alarmów; w programie pozostaje lista wczytana wcześniej.</source>
        <translation>Die Liste %1 wurde auf dem Datenträger geändert, ist aber keine gültige Alarmliste mehr; Zembra behält die zuvor geladene Liste.</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Otwórz</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+22"/>
        <source>Pliki Zembra (*.zmb)</source>
        <translation>Zembra-Dateien (*.zmb)</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>alarmy</source>
        <translation>Alarme</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Zapisz jako</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Plik %1 już istnieje.
Czy chcesz go zastąpić?</source>
        <translation>Die Datei %1 existiert bereits.
Möchten Sie sie ersetzen?</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>Zapisać nową listę alarmów?</source>
        <translation>Die neue Alarmliste speichern?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zapisać zmiany w %1?</source>
        <translation>Änderungen an %1 speichern?</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Bez nazwy</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Nie można nastawić budzika systemowego: %1
Alarm ustawiony na %2 może nie zadzwonić.</source>
        <translation>Der Systemwecker kann nicht gestellt werden: %1
Der Alarm für %2 klingelt möglicherweise nicht.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Nie można wyłączyć budzika systemowego: %1</source>
        <translation>Der Systemwecker kann nicht abgestellt werden: %1</translation>
    </message>
    <message>
        <location line="+117"/>
        <source>program nie ma uprawnienia. Nadaj je w terminalu poleceniem:</source>
        <translation>dem Programm fehlt die Berechtigung. Erteilen Sie sie in einem Terminal mit:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>program nie ma uprawnienia do budzenia komputera. Aby je nadać, wykonaj w terminalu:
%1</source>
        <translation>das Programm darf den Computer nicht wecken. Um es zu erlauben, führen Sie in einem Terminal aus:
%1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>ten komputer nie ma zegara, który mógłby go wybudzić.</source>
        <translation>dieser Computer hat keine Uhr, die ihn wecken kann.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ten komputer nie ma zegara, który mógłby go wybudzić. Alarm zadzwoni, jeśli komputer nie będzie wtedy uśpiony.</source>
        <translation>dieser Computer hat keine Uhr, die ihn wecken kann. Der Alarm klingelt, wenn der Computer zu dieser Zeit nicht im Standby-Modus ist.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>budzenie wyłączono zmienną środowiskową ZEMBRA_NO_WAKE_ALARM.</source>
        <translation>das Wecken wurde mit der Umgebungsvariablen ZEMBRA_NO_WAKE_ALARM abgeschaltet.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>budzik systemowy jest niedostępny.</source>
        <translation>der Systemwecker ist nicht verfügbar.</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Oczekiwanie na budzik nie powiodło się: %1
Alarmy mogą nie zadzwonić o czasie.</source>
        <translation>Das Warten auf den Systemwecker ist fehlgeschlagen: %1
Die Alarme werden möglicherweise nicht rechtzeitig ausgelöst.</translation>
    </message>
    <message>
        <location line="+179"/>
        <source>Czy na pewno chcesz usunąć alarm?</source>
        <translation>Möchten Sie diesen Alarm wirklich löschen?</translation>
    </message>
    <message>
        <location line="+80"/>
        <source>Nie można wstrzymać komputera: obsługa zasilania jest niedostępna.</source>
        <translation>Der Computer kann nicht in den Standby-Modus versetzt werden: Die Energieverwaltung ist nicht verfügbar.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Nie udało się zahibernować komputera.
%1</source>
        <translation>Der Computer konnte nicht in den Ruhezustand versetzt werden.
%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nie udało się wstrzymać komputera.
%1</source>
        <translation>Der Computer konnte nicht in den Standby-Modus versetzt werden.
%1</translation>
    </message>
</context>
<context>
    <name>zembra::CZembracfgView</name>
    <message>
        <location filename="../../src/ui/CZembracfgView.cpp" line="+195"/>
        <source>&amp;Wczytaj ponownie</source>
        <translation>Neu &amp;laden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zachowaj &amp;moje zmiany</source>
        <translation>&amp;Meine Änderungen behalten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lista została zmieniona na dysku: %1.</source>
        <translation>Die Liste wurde auf dem Datenträger geändert: %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zmiany w oknie nie są zapisane.</source>
        <translation>Die Änderungen im Fenster sind nicht gespeichert.</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>&amp;Zezwól</source>
        <translation>&amp;Zulassen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Nie zezwalaj</source>
        <translation>&amp;Nicht zulassen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Lista %1 uruchamia programy, na które nie zezwolono na tym komputerze. Alarmy dzwonią, ale tych programów Zembra nie uruchomi, dopóki na nie nie zezwolisz:</source>
        <translation>Die Liste %1 startet Programme, die auf diesem Computer nicht zugelassen wurden. Die Alarme klingeln, aber diese Programme startet Zembra erst, wenn Sie sie zulassen:</translation>
    </message>
    <message>
        <location line="+116"/>
        <source>Komputer zostanie wybudzony na ten alarm.</source>
        <translation>Zembra weckt den Computer für diesen Alarm.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Komputer nie zostanie wybudzony: %1</source>
        <translation>Der Computer wird nicht geweckt: %1</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Program wstrzymany: niezatwierdzony</source>
        <translation>Programm gesperrt: nicht zugelassen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>brak</source>
        <translation>keine</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Najbliższy alarm:
brak</source>
        <translation>Nächster Alarm:
keiner</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+153"/>
        <source>Najbliższy alarm:
</source>
        <translation>Nächster Alarm:
</translation>
    </message>
    <message>
        <location line="-127"/>
        <source>Pozostało:</source>
        <translation>Verbleibend:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>dzień</source>
        <translation>Tag</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>dni</source>
        <translation>Tage</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Invalid DateTime</source>
        <translation>Ungültiges Datum</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>&amp;Nowy</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Edytuj</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Usuń</source>
        <translation>&amp;Löschen</translation>
    </message>
</context>
</TS>
