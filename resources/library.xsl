<?xml version="1.0" encoding="windows-1251"?>
<!-- Somnary: a dream library as a browser shows it. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="windows-1251" indent="yes"/>

  <xsl:template match="/dreamlibrary">
    <html>
      <head>
        <title><xsl:value-of select="@name"/></title>
        <link rel="stylesheet" type="text/css" href="library.css"/>
      </head>
      <body>
        <h1><xsl:value-of select="@name"/></h1>
        <h2>Каталоги и журналы</h2>
        <table class="structureTable">
          <xsl:apply-templates select="directory"/>
        </table>
        <xsl:apply-templates select="user"/>
      </body>
    </html>
  </xsl:template>

  <xsl:template match="directory">
    <tr><td class="structureDirectoryName"><xsl:value-of select="@name"/></td></tr>
    <tr>
      <td class="structureChilds">
        <table class="structureTable">
          <xsl:apply-templates select="directory|file"/>
        </table>
      </td>
    </tr>
  </xsl:template>

  <xsl:template match="file">
    <tr>
      <td class="fileName">
        <a href="{@path}"><xsl:value-of select="@name"/></a>
      </td>
    </tr>
  </xsl:template>

  <xsl:template match="user">
    <h2>Владелец</h2>
    <table class="userTable">
      <tr><td class="userTableItem">Имя</td><td class="userTableValue"><xsl:value-of select="@name"/></td></tr>
      <tr><td class="userTableItem">Псевдоним</td><td class="userTableValue"><xsl:value-of select="@nick"/></td></tr>
      <tr><td class="userTableItem">Почта</td><td class="userTableValue"><xsl:value-of select="@email"/></td></tr>
      <tr><td class="userTableItem">Возраст</td><td class="userTableValue"><xsl:value-of select="@age"/></td></tr>
    </table>
    <p><xsl:value-of select="."/></p>
  </xsl:template>
</xsl:stylesheet>
