<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="pl_PL">
<context>
    <name>CAlarm</name>
    <message>
        <location filename="../../src/core/model/CAlarm.cpp" line="+26"/>
        <source>raz</source>
        <translation>once</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>codziennie</source>
        <translation>daily</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>dni robocze</source>
        <translation>workdays</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>weekend</source>
        <translation>weekend</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>tygodniowo</source>
        <translation>weekly</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>miesięcznie</source>
        <translation>monthly</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>rocznie</source>
        <translation>yearly</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>budzenie</source>
        <translation>wake-up</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>wstrzymanie</source>
        <translation>standby</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>hibernacja</source>
        <translation>hibernation</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>wyłączenie</source>
        <translation>shutdown</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>komunikat</source>
        <translation>message</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>dźwięk</source>
        <translation>sound</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>program</source>
        <translation>program</translation>
    </message>
</context>
<context>
    <name>zembra::CAboutDlg</name>
    <message>
        <location filename="../../src/app/CAboutDlg.cpp" line="+182"/>
        <source>O programie</source>
        <translation>About Zembra</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zembra wersja %1</source>
        <translation>Zembra version %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copyright © autorzy projektu Zembra</source>
        <translation>Copyright © the Zembra project authors</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plik pomocy (polski):</source>
        <translation>Help file (Polish):</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+2"/>
        <source>autorzy projektu Zembra</source>
        <translation>the Zembra project authors</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Plik pomocy (angielski):</source>
        <translation>Help file (English):</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Odpowiedzi na pytania o program Zembra znajdziesz na stronach pomocy projektu:</source>
        <translation>You can find answers to your questions about Zembra on the project&apos;s help pages:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>i</source>
        <translation>and</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>zembra::CAlarmDialog</name>
    <message>
        <location filename="../../src/ui/CAlarmDialog.cpp" line="+275"/>
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
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Częstotliwość:</source>
        <translation>Frequency:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Raz</source>
        <translation>Once</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Codziennie</source>
        <translation>Daily</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dni robocze</source>
        <translation>Workdays</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Weekend</source>
        <translation>Weekend</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Co tydzień</source>
        <translation>Weekly</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Co miesiąc</source>
        <translation>Monthly</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Co rok</source>
        <translation>Yearly</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Akcja zostanie wykonana tylko jeden raz, w określonym dniu i godzinie</source>
        <translation>The action runs only once, on the set date and at the set time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Akcja wykonywana jest każdego dnia o określonej godzinie, począwszy od ustalonego dnia.</source>
        <translation>The action runs every day at the set time, starting from the set date.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Budzik, który nie zadzwoni w sobotę lub niedzielę, dając spokojnie pospać</source>
        <translation>An alarm clock that stays silent on Saturdays and Sundays, so you can sleep in</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Akcja występuje tylko w sobotę i niedzielę o określonej godzinie, począwszy od ustalonego dnia</source>
        <translation>The action runs only on Saturdays and Sundays at the set time, starting from the set date</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Akcja wykonywana jest co tydzień o określonej godzinie, począwszy od ustalonego dnia</source>
        <translation>The action runs every week at the set time, starting from the set date</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Akcja wykonywana jest co miesiąc o określonej godzinie, począwszy od ustalonego dnia</source>
        <translation>The action runs every month at the set time, starting from the set date</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Akcja wykonywana jest tylko raz w roku o określonej godzinie, począwszy od ustalonego dnia</source>
        <translation>The action runs only once a year at the set time, starting from the set date</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Czas:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Godzina:</source>
        <translation>Time of day:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Data:</source>
        <translation>Date:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Czas wystąpienia danego zdarzenia</source>
        <translation>The time at which the event occurs</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dzień pierwszego wystąpienia danego zdarzenia</source>
        <translation>The date on which the event first occurs</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Typ:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Budzenie</source>
        <translation>Wake-up</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wstrzymanie</source>
        <translation>Standby</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hibernacja</source>
        <translation>Hibernation</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wyłączenie</source>
        <translation>Shutdown</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Obudzenie komputera ze stanu wstrzymania</source>
        <translation>Wakes the computer up from standby</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Przejście komputera w stan wstrzymania o ustalonej porze</source>
        <translation>Puts the computer on standby at the set time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wyłączenie komputera o ustalonej przez użytkownika porze</source>
        <translation>Shuts the computer down at a time of your choice</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Komentarz:</source>
        <translation>Comment:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Słowny opis zdarzenia</source>
        <translation>A short description of the event</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Akcja:</source>
        <translation>Action:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Komunikat</source>
        <translation>Message</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Aktywacja akcji wyświetlania komunikatu obok zegara</source>
        <translation>Turns on showing a message next to the clock</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Treść komunikatu pokazującego się obok zegara</source>
        <translation>The text of the message shown next to the clock</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dźwięk</source>
        <translation>Sound</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Aktywacja akcji odtwarzania dźwięku</source>
        <translation>Turns on playing a sound</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plik dźwiękowy w formacie wave lub mp3</source>
        <translation>A sound file in WAV or MP3 format</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wskazywanie dźwięku do odtwarzania w trakcie alarmu</source>
        <translation>Choose the sound to play when the alarm goes off</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Odtwarzanie wybranego dźwięku</source>
        <translation>Plays the selected sound</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Program</source>
        <translation>Program</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Aktywacja akcji uruchamiania programu</source>
        <translation>Turns on running a program</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uruchamiany program</source>
        <translation>The program to run</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wskazywanie programu do uruchamiania w trakcie alarmu</source>
        <translation>Choose the program to run when the alarm goes off</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Aktywny</source>
        <translation>Active</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Aktywacja alarmu</source>
        <translation>Turns the alarm on or off</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Graj</source>
        <translation>Play</translation>
    </message>
    <message>
        <location line="+121"/>
        <source>Pliki dźwiękowe (*.wav *.mp3 *.wma);;Wszystkie pliki (*)</source>
        <translation>Sound files (*.wav *.mp3 *.wma);;All files (*)</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Pliki wykonywalne (*.exe *.bat *.cmd);;Wszystkie pliki (*)</source>
        <translation>Executable files (*.exe *.bat *.cmd);;All files (*)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Pliki wykonywalne (*);;Wszystkie pliki (*)</source>
        <translation>Executable files (*);;All files (*)</translation>
    </message>
    <message>
        <location line="+68"/>
        <source>Nie można odtworzyć dźwięku!</source>
        <translation>Cannot play the sound!</translation>
    </message>
</context>
<context>
    <name>zembra::CAlarmList</name>
    <message>
        <location filename="../../src/ui/CAlarmList.cpp" line="+79"/>
        <source>Lista alarmów</source>
        <translation>Alarm list</translation>
    </message>
</context>
<context>
    <name>zembra::CAlarmListModel</name>
    <message>
        <location filename="../../src/ui/CAlarmListModel.cpp" line="+142"/>
        <source>Aktywny</source>
        <translation>Active</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Czas</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Komentarz</source>
        <translation>Comment</translation>
    </message>
</context>
<context>
    <name>zembra::CAlarmPropDialog</name>
    <message>
        <location filename="../../src/ui/CAlarmPropDialog.cpp" line="+37"/>
        <location line="+31"/>
        <source>Właściwości wybranego alarmu</source>
        <translation>Selected alarm properties</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>Rodzaj:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+28"/>
        <source>Czas:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <location line="-27"/>
        <location line="+28"/>
        <source>Akcja:</source>
        <translation>Action:</translation>
    </message>
    <message>
        <location line="-27"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>brak</source>
        <translation>none</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Typ:</source>
        <translation>Type:</translation>
    </message>
</context>
<context>
    <name>zembra::CAlerterWindow</name>
    <message>
        <location filename="../../src/alert/CAlerterWindow.cpp" line="+197"/>
        <source>Do uśpienia zostało:</source>
        <translation>Time until standby:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Do hibernacji zostało:</source>
        <translation>Time until hibernation:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Do wyłączenia zostało:</source>
        <translation>Time until shutdown:</translation>
    </message>
    <message>
        <location line="+201"/>
        <source>Nie można odtworzyć dźwięku: %1</source>
        <translation>Cannot play the sound: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zamiast niego dzwoni wbudowany sygnał alarmu.</source>
        <translation>The built-in alarm tone rings instead.</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>Nie uruchomiono programu: %1</source>
        <translation>Program not started: %1</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Nie można uruchomić programu %1: %2</source>
        <translation>Cannot run the program %1: %2</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>odtwarzanie nie powiodło się</source>
        <translation>playback failed</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Nie udało się wstrzymać komputera: %1</source>
        <translation>Failed to put the computer on standby: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nie udało się zahibernować komputera: %1</source>
        <translation>Failed to hibernate the computer: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nie udało się wyłączyć komputera: %1</source>
        <translation>Failed to shut down the computer: %1</translation>
    </message>
</context>
<context>
    <name>zembra::CDialogSettings</name>
    <message>
        <location filename="../../src/ui/CDialogSettings.cpp" line="+51"/>
        <location line="+7"/>
        <location line="+173"/>
        <source>&lt;domyślny&gt;</source>
        <translation>&lt;default&gt;</translation>
    </message>
    <message>
        <location line="-35"/>
        <source>Ustawienia</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Anuluj</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zachowanie</source>
        <translation>Behavior</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Startuj z systemem</source>
        <translation>Start with the system</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Umożliwia włączenie automatycznego uruchomienia programu przy starcie systemu</source>
        <translation>Starts the program automatically when the system starts</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ustaw maksymlaną głośność przy budzeniu</source>
        <translation>Set maximum volume when an alarm rings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zmienia systemowe ustawienie głośności do maksymalnego poziomu (tylko na czas odtwarzania dźwięku alarmu)</source>
        <translation>Turns the system volume up to maximum (only while the alarm sound is playing)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Powtarzaj dźwięk aż do wyłączenia</source>
        <translation>Repeat the sound until silenced</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Odtwarza dźwięk alarmu od początku, dopóki alarm nie zostanie potwierdzony albo odłożony na drzemkę, najdłużej przez 15 minut</source>
        <translation>Plays the alarm sound again from the start until the alarm is confirmed or snoozed, for at most 15 minutes</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Drzemka:</source>
        <translation>Snooze:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> min</source>
        <translation> min</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Czas drzemki proponowany jako pierwszy: dzwoniący alarm odłożony poleceniem Drzemka zadzwoni znowu po tylu minutach</source>
        <translation>The snooze offered first: a ringing alarm put off with the Snooze command rings again after this many minutes</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Ukrywaj okno przy starcie</source>
        <translation>Hide the window at startup</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Autoukrywanie okna programu po jego uruchomieniu</source>
        <translation>Hides the program window automatically once it has started</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Otwieraj ostatnią konfigurację po starcie</source>
        <translation>Open the last alarm list at startup</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wczytuje ostatni zestaw alarmów</source>
        <translation>Loads the alarm list you used last</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Przycisk uśpienia:</source>
        <translation>Sleep button:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uśpienie</source>
        <translation>Standby</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hibernacja</source>
        <translation>Hibernation</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Przeźroczystość okienka powiadamiania:</source>
        <translation>Notification window transparency:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>0% - w pełni widoczne, 90% - prawie niewidoczne</source>
        <translation>0% - fully visible, 90% - almost invisible</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Wygląd</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Język:</source>
        <translation>Language:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Umożliwia wybór języka programu. Język domyślny to język systemu operacyjnego (jeśli istnieje)</source>
        <translation>Chooses the program&apos;s language. The default is the language of the operating system (if available)</translation>
    </message>
</context>
<context>
    <name>zembra::CHelpWindow</name>
    <message>
        <location filename="../../src/app/CHelpWindow.cpp" line="+432"/>
        <source>Pomoc programu Zembra</source>
        <translation>Zembra Help</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wstecz</source>
        <translation>Back</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Poprzednia strona</source>
        <translation>Previous page</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Dalej</source>
        <translation>Forward</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Następna strona</source>
        <translation>Next page</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Spis treści</source>
        <translation>Contents</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Szukaj na stronie:</source>
        <translation>&amp;Find on page:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Szukany tekst</source>
        <translation>Text to find</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Poprzednie</source>
        <translation>Previous</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Szukaj wstecz</source>
        <translation>Find previous</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Następne</source>
        <translation>Next</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Szukaj dalej</source>
        <translation>Find next</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Nie znaleziono: %1</source>
        <translation>Not found: %1</translation>
    </message>
</context>
<context>
    <name>zembra::CLateAlarmsNotice</name>
    <message>
        <location filename="../../src/ui/CLateAlarmsNotice.cpp" line="+27"/>
        <source>Zaplanowane uśpienie pominięte</source>
        <translation>Scheduled suspend skipped</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Zaplanowana hibernacja pominięta</source>
        <translation>Scheduled hibernation skipped</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Zaplanowane wyłączenie pominięte</source>
        <translation>Scheduled shutdown skipped</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1 %2: spóźniony o %3 min</source>
        <translation>%1 %2: %3 min late</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Drzemka nie zadzwoniła</source>
        <translation>The snooze did not ring</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Zembra: alarmy z opóźnieniem</source>
        <translation>Zembra: Late Alarms</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Te alarmy zadzwoniły z opóźnieniem, bo komputer był uśpiony albo program nie działał w ich porze. Spóźniony alarm nie usypia ani nie wyłącza komputera.</source>
        <translation>These alarms rang late because the computer was asleep or the program was not running at their time. A late alarm never suspends or shuts down the computer.</translation>
    </message>
</context>
<context>
    <name>zembra::CMainFrame</name>
    <message>
        <location filename="../../src/app/CMainFrame.cpp" line="+359"/>
        <source>&amp;Plik</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Alarm</source>
        <translation>&amp;Alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Opcje</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Język</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomo&amp;c</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+5"/>
        <source>&amp;Nowy</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>&amp;Otwórz...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Zapisz</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zapisz &amp;jako...</source>
        <translation>Save &amp;as...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Wyjście</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Edytuj</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Usuń</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Wstrzymaj komputer</source>
        <translation>&amp;Sleep</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Potwierdź</source>
        <translation>&amp;Confirm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Ustawienia</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Sprawdź wybudzanie…</source>
        <translation>&amp;Test wake-up…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>U&amp;kryj</source>
        <translation>&amp;Hide</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Przywróć</source>
        <translation>&amp;Restore</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Tematy pomocy</source>
        <translation>&amp;Help topics</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomoc &amp;kontekstowa</source>
        <translation>&amp;Context help</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Porada dnia</source>
        <translation>&amp;Tip of the day</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;O programie...</source>
        <translation>&amp;About Zembra...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomoc</source>
        <translation>Help</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Dodaje nowy alarm</source>
        <translation>Adds a new alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Usuwa wybrany alarm</source>
        <translation>Deletes the selected alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Edytuje wybrany alarm</source>
        <translation>Edits the selected alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wstrzymuje komputer</source>
        <translation>Puts the computer to sleep</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kończy odtwarzanie dźwięku alarmu</source>
        <translation>Stops the alarm sound</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>&amp;Drzemka</source>
        <translation>Sn&amp;ooze</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 (domyślnie)</source>
        <translation>%1 (default)</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>%1 o %2</source>
        <translation>%1 at %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Odłóż o 5 min</source>
        <translation>Postpone 5 min</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Odłóż o 30 min</source>
        <translation>Postpone 30 min</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pomiń tym razem</source>
        <translation>Skip this time</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Teraz</source>
        <translation>Now</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Ten pulpit nie ma obszaru powiadomień, więc okno Zembry zostaje zminimalizowane zamiast ukryte. Alarmy działają dalej; program kończy polecenie Wyjście.</source>
        <translation>This desktop has no notification area, so the Zembra window is minimized instead of hidden. Alarms keep working; use Exit to quit the program.</translation>
    </message>
</context>
<context>
    <name>zembra::CPowerCountdown</name>
    <message>
        <location filename="../../src/ui/CPowerCountdown.cpp" line="+57"/>
        <location line="+236"/>
        <source>Zembra: odliczanie</source>
        <translation>Zembra: countdown</translation>
    </message>
    <message>
        <location line="-228"/>
        <source>Uśpienie komputera</source>
        <translation>Standby</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Hibernacja komputera</source>
        <translation>Hibernation</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Wyłączenie komputera</source>
        <translation>Shutdown</translation>
    </message>
    <message>
        <location line="+153"/>
        <source>%1 za %2</source>
        <translation>%1 in %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Alarm o %1</source>
        <translation>Alarm at %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Alarm „%1” o %2</source>
        <translation>Alarm “%1” at %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Zablokowane przez: %1</source>
        <translation>Blocked by: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Odłóż o 5 min</source>
        <translation>Postpone 5 min</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Odłóż o 30 min</source>
        <translation>Postpone 30 min</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomiń tym razem</source>
        <translation>Skip this time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Teraz</source>
        <translation>Now</translation>
    </message>
</context>
<context>
    <name>zembra::CSoundDevice</name>
    <message>
        <location filename="../../src/alert/CSoundDevice.cpp" line="+35"/>
        <source>tego pliku nie da się odtworzyć</source>
        <translation>this file cannot be played</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>odtwarzanie nie powiodło się</source>
        <translation>playback failed</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>nie wybrano pliku dźwiękowego</source>
        <translation>no sound file was chosen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>nie ma pliku %1</source>
        <translation>the file %1 does not exist</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 nie jest plikiem</source>
        <translation>%1 is not a file</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>nie można odczytać pliku %1: %2</source>
        <translation>the file %1 cannot be read: %2</translation>
    </message>
</context>
<context>
    <name>zembra::CStartupTip</name>
    <message>
        <location filename="../../src/ui/CStartupTip.cpp" line="+120"/>
        <source>Czy wiesz że...</source>
        <translation>Did you know...</translation>
    </message>
</context>
<context>
    <name>zembra::CStatusDIalog</name>
    <message>
        <location filename="../../src/ui/CStatusDIalog.cpp" line="+39"/>
        <source>Najbliższy alarm:
brak
</source>
        <translation>Next alarm:
none
</translation>
    </message>
    <message>
        <location line="+70"/>
        <source>Aktualny stan</source>
        <translation>Current status</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kopiuj polecenie</source>
        <translation>Copy command</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Czas do najbliższego alarmu</source>
        <translation>Time until the next alarm</translation>
    </message>
</context>
<context>
    <name>zembra::CSystemTray</name>
    <message>
        <location filename="../../src/app/CSystemTray.cpp" line="+251"/>
        <source>&amp;O programie...</source>
        <translation>&amp;About Zembra...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Przywróć</source>
        <translation>&amp;Restore</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Ukryj</source>
        <translation>&amp;Hide</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Potwierdź alarm</source>
        <translation>Confirm alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Wyjście</source>
        <translation>E&amp;xit</translation>
    </message>
</context>
<context>
    <name>zembra::CTipsDialog</name>
    <message>
        <location filename="../../src/ui/CTipsDialog.cpp" line="+92"/>
        <source>Porada dnia</source>
        <translation>Tip of the day</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pokazuj porady przy starcie</source>
        <translation>Show tips at startup</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Następna</source>
        <translation>Next</translation>
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
        <location filename="../../src/app/CWakeTest.cpp" line="+76"/>
        <source>Nie można utworzyć budzika testowego: %1</source>
        <translation>Cannot create the test timer: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Nie można wstrzymać komputera: obsługa zasilania jest niedostępna.</source>
        <translation>Cannot put the computer on standby: power management is unavailable.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Nie można nastawić budzika testowego: %1</source>
        <translation>Cannot arm the test timer: %1</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>System odmówił uśpienia: %1</source>
        <translation>The system refused standby: %1</translation>
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
        <translation>%1 min</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Sprawdzanie wybudzania</source>
        <translation>Wake-up test</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Test sprawdza, czy Zembra potrafi wybudzić ten komputer. Po kliknięciu „Rozpocznij” Zembra nastawi osobny budzik testowy na 60 sekund naprzód i wstrzyma komputer. Komputer powinien sam się obudzić po około minucie; nie dotykaj go do tego czasu. Potem to okno powie, jak poszło. Alarmy z listy działają w tym czasie jak zwykle.

Zanim zaczniesz, zapisz swoją pracę w innych programach.</source>
        <translation>The test checks whether Zembra can wake this computer. When you click “Start”, Zembra arms a separate test timer 60 seconds ahead and puts the computer into standby. The computer should wake by itself after about a minute; leave it alone until then. This window then tells how it went. The alarms in your list go on as usual meanwhile.

Before you start, save your work in other programs.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Uwaga: Zembra nie może teraz wybudzić tego komputera: %1
Test pokaże, że komputer zasypia, ale nie budzi się sam.</source>
        <translation>Note: Zembra cannot wake this computer now: %1
The test will show that the computer goes to sleep but does not wake by itself.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Rozpocznij</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zamknij</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Test trwa: budzik testowy nastawiono na %1. Komputer za chwilę zaśnie i powinien sam się obudzić o tej porze.</source>
        <translation>Test running: the test timer is armed for %1. The computer will go to sleep in a moment and should wake by itself at that time.</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Komputer obudził się sam o nastawionej porze (spał %1). Budzenie działa: alarmy wybudzą ten komputer.</source>
        <translation>The computer woke by itself at the armed time (it slept %1). Waking works: alarms will wake this computer.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Komputer obudzono ręcznie %1 przed nastawioną porą (spał %2), więc test nie rozstrzygnął, czy budzik by go obudził. Powtórz test i nie dotykaj komputera, dopóki sam się nie obudzi.</source>
        <translation>The computer was woken by hand %1 before the armed time (it slept %2), so the test could not tell whether the timer would have woken it. Run the test again and leave the computer alone until it wakes by itself.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Komputer nie obudził się sam: spał %1 i wrócił dopiero %2 po nastawionej porze. Budzik go nie wybudził.</source>
        <translation>The computer did not wake by itself: it slept %1 and came back only %2 after the armed time. The timer did not wake it.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Przyczyna: %1</source>
        <translation>Reason: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Zembra nastawiła budzik, ale system albo sprzęt go nie posłuchał. Sprawdź w ustawieniach BIOS/UEFI, czy budzenie zegarem (RTC) jest włączone, i powtórz test.</source>
        <translation>Zembra armed the timer, but the system or the hardware did not heed it. Check in the BIOS/UEFI settings that waking by the clock (RTC) is enabled, and run the test again.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Komputer nie zasnął, więc wybudzania nie sprawdzono. System odmówił uśpienia, uśpienie było tylko symulowane (--simulate-power) albo wstrzymał je inny program.</source>
        <translation>The computer did not go to sleep, so waking was not tested. The system refused standby, the standby was only simulated (--simulate-power), or another program held it off.</translation>
    </message>
</context>
<context>
    <name>zembra::CZembracfgApp</name>
    <message>
        <location filename="../../src/app/CZembracfgApp.cpp" line="+191"/>
        <source>Budzik systemowy jest niedostępny: %1
Alarmy nie zadzwonią, dopóki ten problem nie zniknie.</source>
        <translation>The system wake-up timer is unavailable: %1
Alarms will not go off until this problem is fixed.</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>nowej listy</source>
        <translation>a new list</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Zembra zakończyła pracę, gdy zmiany w %1 nie były zapisane. Ich kopia została zachowana.
Przywrócić niezapisane zmiany?</source>
        <translation>Zembra ended while the changes to %1 were not saved. A copy of them was kept.
Restore the unsaved changes?</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Alarmy nie wybudzą uśpionego komputera: %1</source>
        <translation>Alarms will not wake the computer from sleep: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Gdy komputer nie śpi, alarmy dzwonią o czasie; alarmy, które minęły w czasie snu, zadzwonią po jego wybudzeniu. To samo pokazuje panel Aktualny stan.</source>
        <translation>While the computer is awake, alarms ring on time; alarms that passed while it slept ring when it wakes up. The Current status panel shows the same.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Nie pokazuj więcej</source>
        <translation>Do not show again</translation>
    </message>
</context>
<context>
    <name>zembra::CZembracfgDoc</name>
    <message>
        <location filename="../../src/app/CZembracfgDoc.cpp" line="+205"/>
        <source>Nie można zapisać zgody w ustawieniach; programy nadal są wstrzymane.</source>
        <translation>The approval cannot be stored in the settings; the programs are still held back.</translation>
    </message>
    <message>
        <location line="+136"/>
        <location line="+216"/>
        <source>Nie można otworzyć pliku %1.
%2</source>
        <translation>Cannot open the file %1.
%2</translation>
    </message>
    <message>
        <location line="-212"/>
        <source>Plik %1 nie jest poprawną listą alarmów.
%2</source>
        <translation>The file %1 is not a valid alarm list.
%2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Plik %1 nie zawiera listy alarmów.
%2</source>
        <translation>The file %1 does not contain an alarm list.
%2</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Bieżąca lista alarmów pozostaje bez zmian.</source>
        <translation>The current alarm list has not been changed.</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Plik %1 jest chroniony przed zapisem.
Zapisz listę pod inną nazwą (Plik &gt; Zapisz jako...).
Zmiany nie zostały zapisane.</source>
        <translation>The file %1 is write-protected.
Save the list under another name (File &gt; Save As...).
The changes were not saved.</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Nie można zapisać pliku %1.
%2
Zmiany nie zostały zapisane.</source>
        <translation>Cannot save the file %1.
%2
Your changes have not been saved.</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Plik %1 został zmieniony na dysku po wczytaniu listy.</source>
        <translation>The file %1 was changed on disk after the list was read.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Zapisać listę z okna i zastąpić tamte zmiany?</source>
        <translation>Save the list from the window and replace those changes?</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>Plik %1 został usunięty lub przeniesiony. Lista pozostaje w programie jako niezapisana.</source>
        <translation>The file %1 was deleted or moved away. The list stays in the program, unsaved.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Lista została przeczytana ponownie, bo zmieniono ją na dysku.</source>
        <translation>The list was read again because it was changed on disk.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Lista została przeczytana ponownie z dysku.</source>
        <translation>The list was read again from disk.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Lista %1 została zmieniona na dysku, ale nie jest poprawną listą alarmów; w programie pozostaje lista wczytana wcześniej.</source>
        <translation>The list %1 was changed on disk, but it is not a valid alarm list; the program keeps the list read before.</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Otwórz</source>
        <translation>Open</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+22"/>
        <source>Pliki Zembra (*.zmb)</source>
        <translation>Zembra files (*.zmb)</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>alarmy</source>
        <translation>alarms</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Zapisz jako</source>
        <translation>Save as</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Plik %1 już istnieje.
Czy chcesz go zastąpić?</source>
        <translation>The file %1 already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>Zapisać nową listę alarmów?</source>
        <translation>Save the new alarm list?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zapisać zmiany w %1?</source>
        <translation>Save changes to %1?</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Bez nazwy</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Nie można nastawić budzika systemowego: %1
Alarm ustawiony na %2 może nie zadzwonić.</source>
        <translation>Cannot set the system wake timer: %1
The alarm set for %2 may not ring.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Nie można wyłączyć budzika systemowego: %1</source>
        <translation>Cannot cancel the system wake timer: %1</translation>
    </message>
    <message>
        <location line="+117"/>
        <source>program nie ma uprawnienia. Nadaj je w terminalu poleceniem:</source>
        <translation>the program lacks the permission. Grant it in a terminal with:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>program nie ma uprawnienia do budzenia komputera. Aby je nadać, wykonaj w terminalu:
%1</source>
        <translation>the program is not allowed to wake the computer. To allow it, run in a terminal:
%1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>ten komputer nie ma zegara, który mógłby go wybudzić.</source>
        <translation>this computer has no clock that can wake it.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ten komputer nie ma zegara, który mógłby go wybudzić. Alarm zadzwoni, jeśli komputer nie będzie wtedy uśpiony.</source>
        <translation>this computer has no clock that can wake it. The alarm rings if the computer is not asleep at that time.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>budzenie wyłączono zmienną środowiskową ZEMBRA_NO_WAKE_ALARM.</source>
        <translation>waking was turned off with the environment variable ZEMBRA_NO_WAKE_ALARM.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>budzik systemowy jest niedostępny.</source>
        <translation>the system wake timer is not available.</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Oczekiwanie na budzik nie powiodło się: %1
Alarmy mogą nie zadzwonić o czasie.</source>
        <translation>Waiting for the wake-up timer failed: %1
Alarms may not go off on time.</translation>
    </message>
    <message>
        <location line="+179"/>
        <source>Czy na pewno chcesz usunąć alarm?</source>
        <translation>Are you sure you want to delete this alarm?</translation>
    </message>
    <message>
        <location line="+80"/>
        <source>Nie można wstrzymać komputera: obsługa zasilania jest niedostępna.</source>
        <translation>Cannot put the computer on standby: power management is unavailable.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Nie udało się zahibernować komputera.
%1</source>
        <translation>Failed to hibernate the computer.
%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nie udało się wstrzymać komputera.
%1</source>
        <translation>Failed to put the computer on standby.
%1</translation>
    </message>
</context>
<context>
    <name>zembra::CZembracfgView</name>
    <message>
        <location filename="../../src/ui/CZembracfgView.cpp" line="+194"/>
        <source>&amp;Wczytaj ponownie</source>
        <translation>&amp;Reload</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zachowaj &amp;moje zmiany</source>
        <translation>&amp;Keep my changes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lista została zmieniona na dysku: %1.</source>
        <translation>The list was changed on disk: %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zmiany w oknie nie są zapisane.</source>
        <translation>The changes in the window are not saved.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>&amp;Zezwól</source>
        <translation>&amp;Allow</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Nie zezwalaj</source>
        <translation>&amp;Don&apos;t Allow</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Lista %1 uruchamia programy, na które nie zezwolono na tym komputerze. Alarmy dzwonią, ale tych programów Zembra nie uruchomi, dopóki na nie nie zezwolisz:</source>
        <translation>The list %1 starts programs that have not been allowed on this computer. The alarms ring, but Zembra will not start these programs until you allow them:</translation>
    </message>
    <message>
        <location line="+114"/>
        <source>Komputer zostanie wybudzony na ten alarm.</source>
        <translation>The computer will be woken for this alarm.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Komputer nie zostanie wybudzony: %1</source>
        <translation>The computer will not be woken: %1</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Program wstrzymany: niezatwierdzony</source>
        <translation>Program held back: not allowed</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>brak</source>
        <translation>none</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Najbliższy alarm:
brak</source>
        <translation>Next alarm:
none</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+153"/>
        <source>Najbliższy alarm:
</source>
        <translation>Next alarm:
</translation>
    </message>
    <message>
        <location line="-127"/>
        <source>Pozostało:</source>
        <translation>Remaining:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>dzień</source>
        <translation>day</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>dni</source>
        <translation>days</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Invalid DateTime</source>
        <translation>Invalid date/time</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>&amp;Nowy</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Edytuj</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Usuń</source>
        <translation>&amp;Delete</translation>
    </message>
</context>
</TS>
