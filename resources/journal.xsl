<?xml version="1.0" encoding="windows-1251"?>
<!-- Somnary: a dream journal as a browser shows it. Journals name it as
     "../journal.xsl", so its style sheet stands beside it. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="windows-1251" indent="yes"/>

  <xsl:template match="/somnary">
    <html>
      <head>
        <title>Журнал сновидений</title>
        <link rel="stylesheet" type="text/css" href="../journal.css"/>
      </head>
      <body>
        <h1>Журнал сновидений</h1>
        <xsl:apply-templates select="day"/>
      </body>
    </html>
  </xsl:template>

  <xsl:template match="day">
    <h2>Ночь <xsl:value-of select="@name"/></h2>
    <xsl:if test="comment">
      <p class="dayCommentBody"><xsl:value-of select="comment"/></p>
    </xsl:if>
    <xsl:apply-templates select="experience"/>
  </xsl:template>

  <xsl:template match="experience">
    <h3><xsl:value-of select="@number"/>. <xsl:value-of select="@title"/></h3>
    <xsl:choose>
      <xsl:when test="@type = 'html' and @file">
        <p class="dreamDescription"><a href="{@file}">Описание</a></p>
      </xsl:when>
      <xsl:otherwise>
        <p class="dreamDescription"><xsl:value-of select="description"/></p>
      </xsl:otherwise>
    </xsl:choose>
    <xsl:if test="comment">
      <p class="dreamCommentBody"><xsl:value-of select="comment"/></p>
    </xsl:if>
    <table class="propertiesTable">
      <tr>
        <td class="propertiesTableValueName">Отметки</td>
        <td class="propertiesTableValue">
          <xsl:for-each select="properties/@*[. = 'true']">
            <xsl:value-of select="substring-after(name(), 'label')"/>
            <xsl:if test="position() != last()">, </xsl:if>
          </xsl:for-each>
        </td>
      </tr>
      <xsl:if test="energy/@level">
        <tr>
          <td class="propertiesTableValueName">Энергетика</td>
          <td class="propertiesTableValue"><xsl:value-of select="(100 - energy/@level) div 100"/></td>
        </tr>
      </xsl:if>
    </table>
    <xsl:if test="image/@path">
      <table class="imageTable">
        <tr><td class="imageImage"><img src="{image/@path}" alt=""/></td></tr>
      </table>
    </xsl:if>
  </xsl:template>
</xsl:stylesheet>
