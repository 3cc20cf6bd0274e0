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
        <translation>weekdays</translation>
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
        <translation>suspend</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>hibernacja</source>
        <translation>hibernate</translation>
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
        <location filename="../../src/app/CAboutDlg.cpp" line="+181"/>
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
    <message>
        <location line="+10"/>
        <source>Strona programu: %1</source>
        <translation>Program web page: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Strona projektu: %1</source>
        <translation>Project web page: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>E-mail programu: %1</source>
        <translation>E-mail about the program: %1</translation>
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
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Częstotliwość:</source>
        <translation>Frequency:</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Akcja zostanie wykonana tylko jeden raz, w określonym dniu i godzinie</source>
        <translation>The action runs only once, on the set date at the set time</translation>
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
        <location line="+3"/>
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
        <location line="+5"/>
        <source>Obudzenie komputera ze stanu wstrzymania</source>
        <translation>Wakes the computer up from suspend</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Przejście komputera w stan wstrzymania o ustalonej porze</source>
        <translation>Suspends the computer at the set time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wyłączenie komputera o ustalonej przez użytkownika porze</source>
        <translation>Shuts the computer down at the set time</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Słowny opis zdarzenia</source>
        <translation>A short description of the event, in your own words</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Akcja:</source>
        <translation>Action:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Aktywacja akcji wyświetlania komunikatu obok zegara</source>
        <translation>Turns on showing a message next to the clock</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Treść komunikatu pokazującego się obok zegara</source>
        <translation>The text of the message shown next to the clock</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Aktywacja akcji odtwarzania dźwięku</source>
        <translation>Turns on playing a sound</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plik dźwiękowy w formacie WAV, MP3, Ogg lub FLAC</source>
        <translation>A sound file in WAV, MP3, Ogg or FLAC format</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Program</source>
        <translation>&amp;Program</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Treść komunikatu</source>
        <translation>Message text</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plik dźwiękowy</source>
        <translation>Sound file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Polecenie uruchamiające program</source>
        <translation>Command that starts the program</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wybierz plik dźwiękowy</source>
        <translation>Choose a sound file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wybierz program</source>
        <translation>Choose a program</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Akt&amp;ywny</source>
        <translation>Acti&amp;ve</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>&amp;Stop</source>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Gra&amp;j</source>
        <translation>P&amp;lay</translation>
    </message>
    <message>
        <location line="+122"/>
        <source>Pliki dźwiękowe (*.wav *.mp3 *.ogg *.oga *.flac);;Wszystkie pliki (*)</source>
        <translation>Sound files (*.wav *.mp3 *.ogg *.oga *.flac);;All files (*)</translation>
    </message>
    <message>
        <location line="-150"/>
        <source>Wskazywanie dźwięku do odtwarzania w trakcie alarmu</source>
        <translation>Chooses the sound to play when the alarm rings</translation>
    </message>
    <message>
        <location line="-48"/>
        <source>&amp;Raz</source>
        <translation>&amp;Once</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Codziennie</source>
        <translation>Dail&amp;y</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Dni robocze</source>
        <translation>Wee&amp;kdays</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Weekend</source>
        <translation>Weeken&amp;d</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Co &amp;tydzień</source>
        <translation>&amp;Weekly</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Co &amp;miesiąc</source>
        <translation>&amp;Monthly</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Co ro&amp;k</source>
        <translation>Yea&amp;rly</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>&amp;Godzina:</source>
        <translation>T&amp;ime of day:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>D&amp;ata:</source>
        <translation>Dat&amp;e:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Budzenie</source>
        <translation>W&amp;ake-up</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wstrzyma&amp;nie</source>
        <translation>S&amp;uspend</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Hibernacja</source>
        <translation>&amp;Hibernate</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wy&amp;łączenie</source>
        <translation>&amp;Shut down</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>K&amp;omentarz:</source>
        <translation>&amp;Comment:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Kom&amp;unikat</source>
        <translation>Messa&amp;ge</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Dźw&amp;ięk</source>
        <translation>Sou&amp;nd</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Odtwarzanie wybranego dźwięku</source>
        <translation>Plays the selected sound</translation>
    </message>
    <message>
        <location line="+2"/>
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
        <translation>Chooses the program to run when the alarm rings</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Aktywacja alarmu</source>
        <translation>Turns the alarm on or off</translation>
    </message>
    <message>
        <location line="+149"/>
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
        <location filename="../../src/ui/CAlarmListModel.cpp" line="+147"/>
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
        <translation>Selected Alarm Properties</translation>
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
        <translation>Time until suspend:</translation>
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
        <translation>Could not suspend the computer: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nie udało się zahibernować komputera: %1</source>
        <translation>Could not hibernate the computer: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nie udało się wyłączyć komputera: %1</source>
        <translation>Could not shut down the computer: %1</translation>
    </message>
</context>
<context>
    <name>zembra::CDialogSettings</name>
    <message>
        <location filename="../../src/ui/CDialogSettings.cpp" line="+51"/>
        <location line="+7"/>
        <location line="+174"/>
        <source>&lt;domyślny&gt;</source>
        <translation>&lt;default&gt;</translation>
    </message>
    <message>
        <location line="-36"/>
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
        <source>&amp;Startuj z systemem</source>
        <translation>Start &amp;automatically at login</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Ustaw &amp;maksymlaną głośność przy budzeniu</source>
        <translation>Set &amp;maximum volume when an alarm rings</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Powtarzaj dźwięk aż do wyłączenia</source>
        <translation>&amp;Repeat the sound until silenced</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Drzemka:</source>
        <translation>S&amp;nooze:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Ukrywaj okno przy starcie</source>
        <translation>&amp;Hide the window at startup</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Otwieraj ostatnią konfigurację po starcie</source>
        <translation>&amp;Open the last alarm list at startup</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>P&amp;rzycisk uśpienia:</source>
        <translation>&amp;Suspend button:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Prz&amp;eźroczystość okienka powiadamiania:</source>
        <translation>Notification window &amp;transparency:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Język:</source>
        <translation>&amp;Language:</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>Umożliwia włączenie automatycznego uruchomienia programu przy starcie systemu</source>
        <translation>Starts the program automatically when you log in</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zmienia systemowe ustawienie głośności do maksymalnego poziomu (tylko na czas odtwarzania dźwięku alarmu)</source>
        <translation>Turns the system volume up to maximum (only while the alarm sound plays)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Odtwarza dźwięk alarmu od początku, dopóki alarm nie zostanie potwierdzony albo odłożony na drzemkę, najdłużej przez 15 minut</source>
        <translation>Plays the alarm sound again and again until the alarm is silenced or snoozed, for at most 15 minutes</translation>
    </message>
    <message>
        <location line="+4"/>
        <source> min</source>
        <translation> min</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Czas drzemki proponowany jako pierwszy: dzwoniący alarm odłożony poleceniem Drzemka zadzwoni znowu po tylu minutach</source>
        <translation>The snooze length offered first: a ringing alarm snoozed with the Snooze command rings again after this many minutes</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Autoukrywanie okna programu po jego uruchomieniu</source>
        <translation>Hides the program window as soon as the program has started</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Wczytuje ostatni zestaw alarmów</source>
        <translation>Loads the alarm list you used last</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Uśpienie</source>
        <translation>Suspend</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hibernacja</source>
        <translation>Hibernate</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>0% - w pełni widoczne, 90% - prawie niewidoczne</source>
        <translation>0% – fully visible, 90% – almost invisible</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Przeźroczystość w procentach</source>
        <translation>Transparency in percent</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Wygląd</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Umożliwia wybór języka programu. Język domyślny to język systemu operacyjnego (jeśli istnieje)</source>
        <translation>Sets the program&apos;s language. By default, Zembra uses the language of the operating system, if it has it</translation>
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
        <translation>Previous Page</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Dalej</source>
        <translation>Forward</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Następna strona</source>
        <translation>Next Page</translation>
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
        <translation>Find Previous</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Następne</source>
        <translation>Next</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Szukaj dalej</source>
        <translation>Find Next</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Lista tematów</source>
        <translation>Topics</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Treść strony pomocy</source>
        <translation>Help page text</translation>
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
        <translation>The snoozed alarm did not ring again</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Zembra: alarmy z opóźnieniem</source>
        <translation>Zembra: Late Alarms</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Te alarmy zadzwoniły z opóźnieniem, bo komputer był uśpiony albo program nie działał w ich porze. Spóźniony alarm nie usypia ani nie wyłącza komputera.</source>
        <translation>These alarms rang late because the computer was suspended or Zembra was not running at the time. A late alarm never suspends, hibernates or shuts down the computer.</translation>
    </message>
</context>
<context>
    <name>zembra::CMainFrame</name>
    <message>
        <location filename="../../src/app/CMainFrame.cpp" line="+378"/>
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
        <translation>Save &amp;As...</translation>
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
        <translation>&amp;Suspend</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Potwierdź</source>
        <translation>S&amp;ilence Alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wyczyść &amp;komunikaty</source>
        <translation>Clear &amp;Messages</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Ustawienia</source>
        <translation>&amp;Settings...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Sprawdź wybudzanie…</source>
        <translation>&amp;Test Wake-Up...</translation>
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
        <translation>&amp;Help Topics</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomoc &amp;kontekstowa</source>
        <translation>&amp;What&apos;s This?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Porada dnia</source>
        <translation>&amp;Tip of the Day...</translation>
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
        <translation>Suspends the computer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kończy odtwarzanie dźwięku alarmu</source>
        <translation>Silences the ringing alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Usuwa komunikaty z okienka obok zegara</source>
        <translation>Removes the messages from the pop-up beside the clock</translation>
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
        <translation>Postpone 5 Minutes</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Odłóż o 30 min</source>
        <translation>Postpone 30 Minutes</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pomiń tym razem</source>
        <translation>Skip This Time</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Teraz</source>
        <translation>Now</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Wstrzymaj</source>
        <comment>toolbar</comment>
        <translation>Suspend</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomoc kontekstowa</source>
        <comment>toolbar</comment>
        <translation>What&apos;s This?</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Nowa lista alarmów</source>
        <translation>New Alarm List</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nowy alarm</source>
        <translation>New Alarm</translation>
    </message>
    <message>
        <location line="+59"/>
        <source>Ten pulpit nie ma obszaru powiadomień, więc okno Zembry zostaje zminimalizowane zamiast ukryte. Alarmy działają dalej; program kończy polecenie Wyjście.</source>
        <translation>This desktop has no notification area, so the Zembra window is minimized instead of hidden. Alarms keep working; to quit the program, use Exit.</translation>
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
        <translation>Suspend</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Hibernacja komputera</source>
        <translation>Hibernate</translation>
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
        <location line="+12"/>
        <source>Odłóż o 5 min</source>
        <translation>Postpone 5 Minutes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Odłóż o 30 min</source>
        <translation>Postpone 30 Minutes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pomiń tym razem</source>
        <translation>Skip This Time</translation>
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
        <location filename="../../src/ui/CStartupTip.cpp" line="+124"/>
        <source>Czy wiesz że...</source>
        <translation>Did you know...</translation>
    </message>
</context>
<context>
    <name>zembra::CStatusDIalog</name>
    <message>
        <location filename="../../src/ui/CStatusDIalog.cpp" line="+67"/>
        <source>Najbliższy alarm:
brak
</source>
        <translation>Next alarm:
none
</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>Aktualny stan</source>
        <translation>Current Status</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Kopiuj polecenie</source>
        <translation>Copy Command</translation>
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
        <location filename="../../src/app/CSystemTray.cpp" line="+254"/>
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
        <translation>Silence Alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wyczyść &amp;komunikaty</source>
        <translation>Clear &amp;Messages</translation>
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
        <translation>Tip of the Day</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Pokazuj porady przy starcie</source>
        <translation>&amp;Show tips at startup</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Następna</source>
        <translation>&amp;Next Tip</translation>
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
        <translation>Cannot create the test timer: %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Nie można wstrzymać komputera: obsługa zasilania jest niedostępna.</source>
        <translation>Cannot suspend the computer: power management is not available.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Nie można nastawić budzika testowego: %1</source>
        <translation>Cannot set the test timer: %1</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>System odmówił uśpienia: %1</source>
        <translation>The system refused to suspend: %1</translation>
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
        <translation>Wake-Up Test</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Test sprawdza, czy Zembra potrafi wybudzić ten komputer. Po kliknięciu „Rozpocznij” Zembra nastawi osobny budzik testowy na 60 sekund naprzód i wstrzyma komputer. Komputer powinien sam się obudzić po około minucie; nie dotykaj go do tego czasu. Potem to okno powie, jak poszło. Alarmy z listy działają w tym czasie jak zwykle.

Zanim zaczniesz, zapisz swoją pracę w innych programach.</source>
        <translation>This test checks whether Zembra can wake this computer up. When you click “Start”, Zembra sets a separate test timer for 60 seconds from now and suspends the computer. The computer should wake up by itself after about a minute; don&apos;t touch it until then. This window then shows the result. Meanwhile, the alarms in your list work as usual.

Before you start, save your work in other programs.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Uwaga: Zembra nie może teraz wybudzić tego komputera: %1
Test pokaże, że komputer zasypia, ale nie budzi się sam.</source>
        <translation>Note: Zembra cannot wake this computer up at the moment: %1
The test will show that the computer suspends but does not wake up by itself.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Polecenie naprawiające budzenie</source>
        <translation>Command that fixes waking</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Rozpocznij</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Zamknij</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Test trwa: budzik testowy nastawiono na %1. Komputer za chwilę zaśnie i powinien sam się obudzić o tej porze.</source>
        <translation>Test running: the test timer is set for %1. The computer will suspend in a moment and should wake up by itself at that time.</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Komputer obudził się sam o nastawionej porze (spał %1). Budzenie działa: alarmy wybudzą ten komputer.</source>
        <translation>The computer woke up by itself at the set time (it was suspended for %1). Waking works: alarms will wake this computer up.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Komputer obudzono ręcznie %1 przed nastawioną porą (spał %2), więc test nie rozstrzygnął, czy budzik by go obudził. Powtórz test i nie dotykaj komputera, dopóki sam się nie obudzi.</source>
        <translation>The computer was woken up by hand %1 before the set time (it was suspended for %2), so the test could not tell whether the timer would have woken it. Run the test again and don&apos;t touch the computer until it wakes up by itself.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Komputer nie obudził się sam: spał %1 i wrócił dopiero %2 po nastawionej porze. Budzik go nie wybudził.</source>
        <translation>The computer did not wake up by itself: it was suspended for %1 and woke up only %2 after the set time. The timer did not wake it.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Przyczyna: %1</source>
        <translation>Reason: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Zembra nastawiła budzik, ale system albo sprzęt go nie posłuchał. Sprawdź w ustawieniach BIOS/UEFI, czy budzenie zegarem (RTC) jest włączone, i powtórz test.</source>
        <translation>Zembra set the timer, but the system or the hardware ignored it. Check in the BIOS/UEFI settings that wake-up by the real-time clock (RTC) is enabled, then run the test again.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Komputer nie zasnął, więc wybudzania nie sprawdzono. System odmówił uśpienia, uśpienie było tylko symulowane (--simulate-power) albo wstrzymał je inny program.</source>
        <translation>The computer did not suspend, so waking up was not tested. The system refused to suspend, the suspend was only simulated (--simulate-power), or another program held it off.</translation>
    </message>
</context>
<context>
    <name>zembra::CZembracfgApp</name>
    <message>
        <location filename="../../src/app/CZembracfgApp.cpp" line="+191"/>
        <source>Budzik systemowy jest niedostępny: %1
Alarmy nie zadzwonią, dopóki ten problem nie zniknie.</source>
        <translation>The system wake-up timer is not available: %1
Alarms will not ring until this problem is solved.</translation>
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
        <translation>Zembra was closed while the changes to %1 were unsaved. A copy of them was kept.
Restore the unsaved changes?</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Alarmy nie wybudzą uśpionego komputera: %1</source>
        <translation>Alarms will not wake the computer up from suspend: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Gdy komputer nie śpi, alarmy dzwonią o czasie; alarmy, które minęły w czasie snu, zadzwonią po jego wybudzeniu. To samo pokazuje panel Aktualny stan.</source>
        <translation>While the computer is on, alarms ring on time; alarms whose time passes while it is suspended ring as soon as it wakes up. The Current Status panel shows this too.</translation>
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
        <translation>Your permission could not be saved in the settings; the programs are still blocked.</translation>
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
The changes were not saved.</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Plik %1 został zmieniony na dysku po wczytaniu listy.</source>
        <translation>The file %1 was changed on disk after the list was loaded.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Zapisać listę z okna i zastąpić tamte zmiany?</source>
        <translation>Save the list from the window and replace those changes?</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>Plik %1 został usunięty lub przeniesiony. Lista pozostaje w programie jako niezapisana.</source>
        <translation>The file %1 was deleted or moved. The list stays open in Zembra, unsaved.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Lista została przeczytana ponownie, bo zmieniono ją na dysku.</source>
        <translation>The list was reloaded because it was changed on disk.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Lista została przeczytana ponownie z dysku.</source>
        <translation>The list was reloaded from disk.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Lista %1 została zmieniona na dysku, ale nie jest poprawną listą alarmów; w programie pozostaje lista wczytana wcześniej.</source>
        <translation>The list %1 was changed on disk, but it is no longer a valid alarm list; Zembra keeps the list it loaded before.</translation>
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
        <translation>Save As</translation>
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
        <translation>Cannot set the system wake-up timer: %1
The alarm set for %2 may not ring.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Nie można wyłączyć budzika systemowego: %1</source>
        <translation>Cannot cancel the system wake-up timer: %1</translation>
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
        <translation>this computer has no clock that can wake it up.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ten komputer nie ma zegara, który mógłby go wybudzić. Alarm zadzwoni, jeśli komputer nie będzie wtedy uśpiony.</source>
        <translation>this computer has no clock that can wake it up. The alarm will ring if the computer is not suspended at that time.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>budzenie wyłączono zmienną środowiskową ZEMBRA_NO_WAKE_ALARM.</source>
        <translation>waking was turned off with the environment variable ZEMBRA_NO_WAKE_ALARM.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>budzik systemowy jest niedostępny.</source>
        <translation>the system wake-up timer is not available.</translation>
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
        <translation>Cannot suspend the computer: power management is not available.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Nie udało się zahibernować komputera.
%1</source>
        <translation>Could not hibernate the computer.
%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nie udało się wstrzymać komputera.
%1</source>
        <translation>Could not suspend the computer.
%1</translation>
    </message>
</context>
<context>
    <name>zembra::CZembracfgView</name>
    <message>
        <location filename="../../src/ui/CZembracfgView.cpp" line="+195"/>
        <source>&amp;Wczytaj ponownie</source>
        <translation>&amp;Reload</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zachowaj &amp;moje zmiany</source>
        <translation>&amp;Keep My Changes</translation>
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
        <location line="+32"/>
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
        <location line="+116"/>
        <source>Komputer zostanie wybudzony na ten alarm.</source>
        <translation>Zembra will wake the computer up for this alarm.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Komputer nie zostanie wybudzony: %1</source>
        <translation>The computer will not be woken up: %1</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Program wstrzymany: niezatwierdzony</source>
        <translation>Program blocked: not allowed</translation>
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
