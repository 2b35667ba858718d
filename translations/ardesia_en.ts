<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>DialogNetwork</name>
    <message>
        <source>Dialog</source>
        <translation>Network game</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Noir</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>Blanc</source>
        <translation>White</translation>
    </message>
    <message>
        <source>Il faut choisir BLACK ou WHITE.</source>
        <translation>Choose black or white.</translation>
    </message>
    <message>
        <source>&lt;em&gt;Tentative de connexion en cours...&lt;/em&gt;</source>
        <translation>&lt;em&gt;Connecting...&lt;/em&gt;</translation>
    </message>
    <message>
        <source>Erreur: choissez l&apos;autre couleur.</source>
        <translation>Error: choose the other colour.</translation>
    </message>
    <message>
        <source>&lt;em&gt;Connexion réussie !&lt;/em&gt;</source>
        <translation>&lt;em&gt;Connected.&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;Déconnecté du serveur&lt;/em&gt;</source>
        <translation>&lt;em&gt;Disconnected from the server&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;ERREUR : le serveur a refusé la connexion. Vérifiez si le programme &quot;serveur&quot; a bien été lancé. Vérifiez aussi l&apos;IP et le port.&lt;/em&gt;</source>
        <translation>&lt;em&gt;ERROR: the server refused the connection. Check that the &quot;server&quot; program is running. Check the IP address and the port too.&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;ERREUR : le serveur a coupé la connexion.&lt;/em&gt;</source>
        <translation>&lt;em&gt;ERROR: the server closed the connection.&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;ERREUR : le serveur n&apos;a pas pu être trouvé. Vérifiez l&apos;IP et le port.&lt;/em&gt;</source>
        <translation>&lt;em&gt;ERROR: the server could not be found. Check the IP address and the port.&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;ERREUR : </source>
        <translation>&lt;em&gt;ERROR: </translation>
    </message>
    <message>
        <source>&lt;/em&gt;</source>
        <translation>&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;Couleur enregistrée : en attente d&apos;un adversaire...&lt;/em&gt;</source>
        <translation>&lt;em&gt;Colour registered: waiting for an opponent...&lt;/em&gt;</translation>
    </message>
</context>
<context>
    <name>FenServeur</name>
    <message>
        <source>Quitter</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Ardesia - Serveur</source>
        <translation>Ardesia - Server</translation>
    </message>
    <message>
        <source>Le serveur n&apos;a pas pu être démarré. Raison :&lt;br /&gt;</source>
        <translation>The server could not be started. Reason:&lt;br /&gt;</translation>
    </message>
    <message>
        <source>&lt;/strong&gt;.&lt;br /&gt;Des clients peuvent maintenant se connecter.</source>
        <translation>&lt;/strong&gt;.&lt;br /&gt;Clients may now connect.</translation>
    </message>
    <message>
        <source>Le serveur a été démarré sur le port &lt;strong&gt;</source>
        <translation>The server was started on port &lt;strong&gt;</translation>
    </message>
    <message>
        <source>&lt;/strong&gt;.&lt;br /&gt;Nb joueurs : 1</source>
        <translation>&lt;/strong&gt;.&lt;br /&gt;Players: 1</translation>
    </message>
    <message>
        <source>&lt;/strong&gt;.&lt;br /&gt;Nb joueurs : 2</source>
        <translation>&lt;/strong&gt;.&lt;br /&gt;Players: 2</translation>
    </message>
    <message>
        <source>&lt;/strong&gt;.&lt;br /&gt;Nb joueurs : %1</source>
        <translation>&lt;/strong&gt;.&lt;br /&gt;Players: %1</translation>
    </message>
</context>
<context>
    <name>HelpMenu</name>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;Rules</source>
        <translation>&amp;Rules</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>&lt;h3&gt;How to play&lt;/h3&gt;&lt;p&gt;&lt;b&gt;The rule.&lt;/b&gt; Black and white take turns to put a disc of their colour on the board. A disc must go where it encloses, in a line across, down or diagonally, one or more of the opponent&apos;s discs between itself and a disc of its own colour; all the enclosed discs turn over. Drag the disc from the list beside the board onto a square: the cursor shows whether it may go there.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Passing.&lt;/b&gt; A player who has no such square passes with the button under the list, and the other player moves again.&lt;/p&gt;&lt;p&gt;&lt;b&gt;The end.&lt;/b&gt; The game ends when the board is full or neither player can move. Whoever has more discs wins; a report gives the score.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Network play.&lt;/b&gt; One machine runs the server, &lt;tt&gt;ardesia-server&lt;/tt&gt;, on TCP port 50885. Each player chooses &lt;i&gt;Network, Play multi...&lt;/i&gt;, types the server&apos;s address and port, picks a colour and connects. The game begins when both colours are taken; white moves first.&lt;/p&gt;</source>
        <translation>&lt;h3&gt;How to play&lt;/h3&gt;&lt;p&gt;&lt;b&gt;The rule.&lt;/b&gt; Black and white take turns to put a disc of their colour on the board. A disc must go where it encloses, in a line across, down or diagonally, one or more of the opponent&apos;s discs between itself and a disc of its own colour; all the enclosed discs turn over. Drag the disc from the list beside the board onto a square: the cursor shows whether it may go there.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Passing.&lt;/b&gt; A player who has no such square passes with the button under the list, and the other player moves again.&lt;/p&gt;&lt;p&gt;&lt;b&gt;The end.&lt;/b&gt; The game ends when the board is full or neither player can move. Whoever has more discs wins; a report gives the score.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Network play.&lt;/b&gt; One machine runs the server, &lt;tt&gt;ardesia-server&lt;/tt&gt;, on TCP port 50885. Each player chooses &lt;i&gt;Network, Play multi...&lt;/i&gt;, types the server&apos;s address and port, picks a colour and connects. The game begins when both colours are taken; white moves first.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Ardesia %1&lt;/h3&gt;&lt;p&gt;Reversi against the computer or a friend over the network.&lt;/p&gt;&lt;p&gt;Network games go through a small relay server, &lt;tt&gt;ardesia-server&lt;/tt&gt;, which one machine runs for both players.&lt;/p&gt;&lt;p&gt;Copyright © 2026 the Ardesia developers.&lt;br&gt;This program is free software, licensed under the GNU General Public License, version 3 or any later version (GPL-3.0-or-later). It comes with ABSOLUTELY NO WARRANTY.&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Ardesia %1&lt;/h3&gt;&lt;p&gt;Reversi against the computer or a friend over the network.&lt;/p&gt;&lt;p&gt;Network games go through a small relay server, &lt;tt&gt;ardesia-server&lt;/tt&gt;, which one machine runs for both players.&lt;/p&gt;&lt;p&gt;Copyright © 2026 the Ardesia developers.&lt;br&gt;This program is free software, licensed under the GNU General Public License, version 3 or any later version (GPL-3.0-or-later). It comes with ABSOLUTELY NO WARRANTY.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>Rules</translation>
    </message>
    <message>
        <source>About Ardesia</source>
        <translation>About Ardesia</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>QArdesia multi</source>
        <translation>Ardesia</translation>
    </message>
    <message>
        <source>&amp;Game</source>
        <translation>&amp;Game</translation>
    </message>
    <message>
        <source>&amp;Begin alone...</source>
        <translation>&amp;Begin alone...</translation>
    </message>
    <message>
        <source>&amp;Restart</source>
        <translation>&amp;Restart</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Network</source>
        <translation>&amp;Network</translation>
    </message>
    <message>
        <source>&amp;Play multi...</source>
        <translation>&amp;Play multi...</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>Show &amp;legal moves</source>
        <translation>Show &amp;legal moves</translation>
    </message>
    <message>
        <source>Show last &amp;move</source>
        <translation>Show last &amp;move</translation>
    </message>
    <message>
        <source>Show whose &amp;turn</source>
        <translation>Show whose &amp;turn</translation>
    </message>
    <message>
        <source>Pion(s) noir:</source>
        <translation>Black discs:</translation>
    </message>
    <message>
        <source>Pion(s) blanc:</source>
        <translation>White discs:</translation>
    </message>
    <message>
        <source>C&apos;est votre tour !</source>
        <translation>Your turn!</translation>
    </message>
    <message>
        <source>Passer</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>Open Image</source>
        <translation>Open Image</translation>
    </message>
    <message>
        <source>The image file could not be loaded.</source>
        <translation>The image file could not be loaded.</translation>
    </message>
    <message>
        <source>Black won the game.

</source>
        <translation>Black won the game.

</translation>
    </message>
    <message>
        <source>White won the game.

</source>
        <translation>White won the game.

</translation>
    </message>
    <message>
        <source>Player :%1
</source>
        <translation>Player :%1
</translation>
    </message>
    <message>
        <source>Computer :%1
</source>
        <translation>Computer :%1
</translation>
    </message>
    <message>
        <source>Au tour de l&apos;ordinateur</source>
        <translation>The computer&apos;s turn</translation>
    </message>
    <message>
        <source>Au tour de l&apos;adversaire</source>
        <translation>Your opponent&apos;s turn</translation>
    </message>
    <message>
        <source>Partie terminée</source>
        <translation>Game over</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>Re&amp;do</translation>
    </message>
    <message>
        <source>&amp;Hint</source>
        <translation>&amp;Hint</translation>
    </message>
    <message>
        <source>Othello transcripts (*.txt);;All files (*)</source>
        <translation>Othello transcripts (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>&amp;Save game...</source>
        <translation>&amp;Save game...</translation>
    </message>
    <message>
        <source>Save game</source>
        <translation>Save game</translation>
    </message>
    <message>
        <source>O&amp;pen game...</source>
        <translation>O&amp;pen game...</translation>
    </message>
    <message>
        <source>Open game</source>
        <translation>Open game</translation>
    </message>
    <message>
        <source>&amp;Click and keyboard play</source>
        <translation>&amp;Click and keyboard play</translation>
    </message>
    <message>
        <source>&amp;Automatic pass</source>
        <translation>&amp;Automatic pass</translation>
    </message>
    <message>
        <source>&amp;Play at once</source>
        <translation>&amp;Play at once</translation>
    </message>
    <message>
        <source>&amp;Keep the final position</source>
        <translation>&amp;Keep the final position</translation>
    </message>
    <message>
        <source>Show the move l&amp;ist</source>
        <translation>Show the move l&amp;ist</translation>
    </message>
    <message>
        <source>Fit the board to the &amp;window</source>
        <translation>Fit the board to the &amp;window</translation>
    </message>
    <message>
        <source>&amp;Level</source>
        <translation>&amp;Level</translation>
    </message>
    <message>
        <source>&amp;Beginner</source>
        <translation>&amp;Beginner</translation>
    </message>
    <message>
        <source>&amp;Normal</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <source>&amp;Strong</source>
        <translation>&amp;Strong</translation>
    </message>
    <message>
        <source>&amp;Expert</source>
        <translation>&amp;Expert</translation>
    </message>
    <message>
        <source>&amp;Master</source>
        <translation>&amp;Master</translation>
    </message>
    <message>
        <source>Aucun coup possible : vous passez</source>
        <translation>No move possible: you pass</translation>
    </message>
    <message>
        <source>L&apos;ordinateur réfléchit...</source>
        <translation>The computer is thinking...</translation>
    </message>
    <message>
        <source>You won %1-%2</source>
        <translation>You won %1-%2</translation>
    </message>
    <message>
        <source>You lost %1-%2</source>
        <translation>You lost %1-%2</translation>
    </message>
    <message>
        <source>Draw %1-%2</source>
        <translation>Draw %1-%2</translation>
    </message>
    <message>
        <source>The file does not hold a legal game.</source>
        <translation>The file does not hold a legal game.</translation>
    </message>
    <message>
        <source>L&apos;adversaire a quitté la partie</source>
        <translation>Your opponent has left the game</translation>
    </message>
    <message>
        <source>Connexion au serveur perdue</source>
        <translation>Connection to the server lost</translation>
    </message>
</context>
<context>
    <name>MoveListPanel</name>
    <message>
        <source>Black</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>White</source>
        <translation>White</translation>
    </message>
    <message>
        <source>pass</source>
        <translation>pass</translation>
    </message>
</context>
<context>
    <name>PavotWidget</name>
    <message>
        <source>Le joueur blanc commence.</source>
        <translation>White moves first.</translation>
    </message>
</context>
<context>
    <name>SavedGame</name>
    <message>
        <source>This game cannot be saved as a transcript: %1</source>
        <translation>This game cannot be saved as a transcript: %1</translation>
    </message>
    <message>
        <source>The file could not be written: %1</source>
        <translation>The file could not be written: %1</translation>
    </message>
    <message>
        <source>The file could not be read: %1</source>
        <translation>The file could not be read: %1</translation>
    </message>
    <message>
        <source>The file is too large to be a saved game.</source>
        <translation>The file is too large to be a saved game.</translation>
    </message>
    <message>
        <source>The file does not hold a legal game: %1</source>
        <translation>The file does not hold a legal game: %1</translation>
    </message>
</context>
</TS>
