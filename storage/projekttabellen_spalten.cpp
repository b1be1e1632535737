// Column definitions of the project tables.
#include "storage/projekttabellen.h"

namespace t21::spalten {

// name, type, width, default expression, min, max, label
const TSpalte kCDSHyd[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"VON", TFeldTyp::String, 32, "", kKein, kKein, "NAME"},
    {"BIS", TFeldTyp::String, 32, "", kKein, kKein, "FolgeElement"},
    {"TYP", TFeldTyp::String, 3, "", kKein, kKein, "Typ"},
    {"RW", TFeldTyp::Float, 0, "0,0", kKein, 9999999.0, "RechtsWert"},
    {"HW", TFeldTyp::Float, 0, "0,0", kKein, 9999999.0, "HochWert"},
    {"GELAENDE", TFeldTyp::Float, 0, "0,0", kKein, 3000.0, "GeländeHöhe"},
    {"MEMO", TFeldTyp::String, 512, "", kKein, kKein, "Memo"},
    {"STRASSE", TFeldTyp::String, 32, "", kKein, kKein, "Strasse"},
    {"Script", TFeldTyp::Memo, 0, "", kKein, kKein, ""},
    {"ScriptAktiv", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, ""},
};
const TSpalte kCDSNet[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"NUMMER", TFeldTyp::String, 20, "'1'", kKein, kKein, "ProjektNummer"},
    {"PROJEKTNAME", TFeldTyp::String, 40, "'Projekt 1'", kKein, kKein, "PRrojektName"},
    {"AUFTRAGGEBER", TFeldTyp::String, 40, "'Stadt A'", kKein, kKein, "Auftraggeber"},
    {"VARIANTE", TFeldTyp::String, 40, "'Variante 1'", kKein, kKein, "Variante"},
    {"DATUM", TFeldTyp::Date, 0, "", kKein, kKein, "Datum"},
    {"R15", TFeldTyp::Float, 0, "100,0", kKein, 300.0, "r15,1"},
    {"HNA", TFeldTyp::Integer, 0, "800", kKein, 2000.0, "JahresNiederschlagsHöhe"},
    {"PSIA", TFeldTyp::Float, 0, "0,7", kKein, 1.0, "JahresAbflussbeiwert"},
    {"ZEBEV", TFeldTyp::String, 1, "'0'", kKein, kKein, "ZeitbeiwertVerfahren anwenden?"},
    {"NAM", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, ""},
    {"cS", TFeldTyp::Float, 0, "0,7", kKein, 1.0, ""},
    {"cI", TFeldTyp::Float, 0, "0,05", kKein, 1.0, ""},
    {"cM", TFeldTyp::Float, 0, "2,47", kKein, 10.0, ""},
    {"Regenreihe", TFeldTyp::String, 32, "'Reinhold (n=1,0)'", kKein, kKein, ""},
    {"CrBSB", TFeldTyp::Float, 0, "20,0", kKein, 1000.0, ""},
    {"CRNH4", TFeldTyp::Float, 0, "5,0", kKein, 30.0, ""},
    {"CRPH", TFeldTyp::Float, 0, "7,4", kKein, 12.0, ""},
    {"CRALK", TFeldTyp::Float, 0, "2,8", kKein, 5.0, ""},
    {"dnBSB", TFeldTyp::Float, 0, "10,0", kKein, 1000.0, ""},
    {"dnNH4", TFeldTyp::Float, 0, "2,0", kKein, 30.0, ""},
    {"crDO2", TFeldTyp::Float, 0, "10", kKein, 100.0, ""},
    {"crT", TFeldTyp::Float, 0, "20", kKein, 100.0, ""},
    {"mNN", TFeldTyp::Float, 0, "0", kKein, 4000.0, ""},
};
const TSpalte kCDSKEZ[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"AEK", TFeldTyp::Float, 0, "0,0", kKein, 10000.0, "Aek"},
    {"B", TFeldTyp::Integer, 0, "0", kKein, 100.0, "Befestigungsgrad"},
    {"NGM", TFeldTyp::Float, 0, "2,0", 1.0, 4.0, "MittlereGeländeneigungsGruppe"},
    {"Q1", TFeldTyp::Float, 0, "0,0", kKein, 1000000.0, "EinleitungsAbfluss"},
    {"WS", TFeldTyp::Float, 0, "120,0", kKein, 1000.0, "Wasserverbrauch"},
    {"ED", TFeldTyp::Float, 0, "0,0", kKein, 1000000.0, "EinwohnerDichte"},
    {"X", TFeldTyp::Float, 0, "12,0", kKein, 24.0, "TagesmittelX"},
    {"QG", TFeldTyp::Float, 0, "0,0", kKein, 1000.0, "GewerblicheAbflussSpende"},
    {"AG", TFeldTyp::Float, 0, "8,0", kKein, 24.0, "ArbeitsstundenProTag"},
    {"BG", TFeldTyp::Float, 0, "220,0", kKein, 365.0, "ArbeitsTageProJahr"},
    {"QF", TFeldTyp::Float, 0, "0,0", kKein, 1000.0, "FremdwasserSpende"},
    {"PQRT24", TFeldTyp::Float, 0, "0,0", kKein, 10000.0, "ProzentsatzQRT24"},
    {"CHBSB", TFeldTyp::Float, 0, "500,0", kKein, 3000.0, "CH.BSB"},
    {"CHNH4", TFeldTyp::Float, 0, "90,0", kKein, 3000.0, "CH.NH4"},
    {"CHCSB", TFeldTyp::Float, 0, "1000,0", kKein, 6000.0, "CH.CSB"},
    {"CHALK", TFeldTyp::Float, 0, "3,0", kKein, 5.0, "CH.Alkalinität"},
    {"CHPH", TFeldTyp::Float, 0, "7,4", kKein, 12.0, "CH.PH-Wert"},
    {"CHAFS", TFeldTyp::Float, 0, "150,0", kKein, 10000.0, "CH.AFS"},
    {"CGBSB", TFeldTyp::Float, 0, "500,0", kKein, 3000.0, "CG.BSB"},
    {"CGNH4", TFeldTyp::Float, 0, "90,0", kKein, 3000.0, "CG.NH4"},
    {"CGPH", TFeldTyp::Float, 0, "7,4", kKein, 12.0, "CG.PH-Wert"},
    {"CGAFS", TFeldTyp::Float, 0, "150,0", kKein, 10000.0, "CG.AFS"},
    {"CGALK", TFeldTyp::Float, 0, "3,0", kKein, 5.0, "CG.Alkalinität"},
    {"CGCSB", TFeldTyp::Float, 0, "600,0", kKein, 6000.0, ""},
    {"PSI", TFeldTyp::Float, 0, "0,0", kKein, 1.0, ""},
    {"TF", TFeldTyp::Float, 0, "0,0", kKein, 1000.0, ""},
    {"PSIb", TFeldTyp::Float, 0, "0,90", kKein, 1.0, ""},
    {"PSInb", TFeldTyp::Float, 0, "0,0", kKein, 1.0, ""},
    {"SWGL", TFeldTyp::Integer, 0, "00", kKein, kKein, ""},
    {"FWGL", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"K", TFeldTyp::Float, 0, "0", kKein, 10000.0, ""},
    {"N", TFeldTyp::Integer, 0, "3", 1.0, 8.0, ""},
    {"PSIa", TFeldTyp::Float, 0, "0,30", kKein, 1.0, ""},
    {"MV", TFeldTyp::Float, 0, "-1", -1.0, 10.0, ""},
    {"BV", TFeldTyp::Float, 0, "0,3", kKein, 2.0, ""},
    {"PSIm", TFeldTyp::Float, 0, "0,0", kKein, 1.0, ""},
    {"O2Defizit", TFeldTyp::Float, 0, "10", kKein, 100.0, ""},
    {"chT", TFeldTyp::Float, 0, "15", kKein, 100.0, ""},
    {"cgT", TFeldTyp::Float, 0, "15", kKein, 100.0, ""},
};
const TSpalte kCDSEbw[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"QM", TFeldTyp::Float, 0, "0,0", kKein, 100000000.0, "Drosselabfluss"},
    {"V", TFeldTyp::Float, 0, "0,0", kKein, 1000000.0, "Volumen"},
    {"Nebenschluss", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, ""},
    {"MaxQKUE", TFeldTyp::Float, 0, "999999", kKein, 1000000.0, ""},
    {"Ased", TFeldTyp::Float, 0, "0", kKein, 10000.0, ""},
    {"O2DefizitBUE", TFeldTyp::Float, 0, "10", kKein, 100.0, ""},
    {"O2DefizitKUE", TFeldTyp::Float, 0, "10", kKein, 100.0, ""},
    {"rkrit", TFeldTyp::Float, 0, "15", kKein, kKein, ""},
    {"xDI", TFeldTyp::Float, 0, "0,00", kKein, 1.1, ""},
};
const TSpalte kCDSKlg[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"BSB", TFeldTyp::Float, 0, "5,0", kKein, 3000.0, "AblaufKonzentrationBSB"},
    {"NH4", TFeldTyp::Float, 0, "10,0", kKein, 300.0, "AblaufKonzentrationNH4"},
    {"AFS", TFeldTyp::Float, 0, "15,0", kKein, 3000.0, "AblaufKonzentrationAFS"},
    {"PH", TFeldTyp::Float, 0, "7,4", kKein, 12.0, "AblaufKonzentrationPH"},
    {"ALK", TFeldTyp::Float, 0, "2,8", kKein, 5.0, "AblaufKonzentrationALK"},
    {"CSB", TFeldTyp::Float, 0, "70,0", kKein, 6000.0, "AblaufKonzentrationCSB"},
    {"O2Defizit", TFeldTyp::Float, 0, "80", kKein, 100.0, ""},
    {"T", TFeldTyp::Float, 0, "20", kKein, 100.0, ""},
};
const TSpalte kCDSOma[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"N", TFeldTyp::Float, 0, "0,5", kKein, 100.0, "n"},
    {"ART", TFeldTyp::String, 60, "'Regenrückhaltebecken'", kKein, kKein, "BauwerksArt"},
    {"BSB", TFeldTyp::Float, 0, "80,0", kKein, 100.0, "AbbauLeistungBSB"},
    {"NH4", TFeldTyp::Float, 0, "60,0", kKein, 100.0, "AbbauLeistungNH4"},
    {"AFS", TFeldTyp::Float, 0, "90,0", kKein, 100.0, "AbbauLeistungAFS"},
    {"CSB", TFeldTyp::Float, 0, "80,0", kKein, 100.0, "AbbauLeistungCSB"},
    {"PH", TFeldTyp::Float, 0, "0,0", kKein, 12.0, "AblaufKonzentrationPH-Wert"},
    {"ALK", TFeldTyp::Float, 0, "0,0", kKein, 5.0, "AblaufKonzentrationAlkalinität"},
    {"QD", TFeldTyp::Float, 0, "0,0", kKein, 100000000.0, "DrosselAbfluss"},
    {"Volumen", TFeldTyp::Integer, 0, "0", kKein, 999999.0, ""},
    {"MaxQKUE", TFeldTyp::Float, 0, "999999", kKein, kKein, ""},
    {"Nebenschluss", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, ""},
    {"DO2", TFeldTyp::Float, 0, "60", kKein, 100.0, ""},
    {"DO2BUE", TFeldTyp::Float, 0, "10", kKein, 100.0, ""},
    {"DO2KUE", TFeldTyp::Float, 0, "30", kKein, 100.0, ""},
};
const TSpalte kCDSEst[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"KST", TFeldTyp::Float, 0, "25,0", kKein, 200.0, "kst"},
    {"BSO", TFeldTyp::Float, 0, "0,0", kKein, 300.0, "SohlBreite"},
    {"BWSP", TFeldTyp::Float, 0, "0,0", kKein, 500.0, "WasserspiegelBreite"},
    {"HB", TFeldTyp::Float, 0, "0,0", kKein, 20.0, "BösschungsHöhe"},
    {"HMNQ", TFeldTyp::Float, 0, "0,0", kKein, 10.0, "FliesstiefeMNQ"},
    {"VMNQ", TFeldTyp::Float, 0, "0,0", kKein, 20.0, "FliessgeschwindigkeitMNQ"},
    {"AE0", TFeldTyp::Float, 0, "0,0", kKein, 10000.0, "Aeo"},
    {"_MNQ", TFeldTyp::Float, 0, "0,0", kKein, 10.0, "SpendeMNQ"},
    {"_HQ1", TFeldTyp::Float, 0, "0,0", kKein, 2000.0, "SpendeHQ1"},
    {"LQUELL", TFeldTyp::Float, 0, "0,0", kKein, 100000.0, "QuellAbstand"},
    {"QUELLE", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, "Quelle"},
    {"QUELLLAUF", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, "QuellLauf"},
    {"TEMPORAER", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, "TemporärGewässer"},
    {"ORGANISCH", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, "OrganischesGewässer"},
    {"STAU", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, "StauReguliertAU"},
    {"T", TFeldTyp::Float, 0, "20,0", kKein, 30.0, "Temperatur"},
    {"GUETE", TFeldTyp::String, 6, "'?'", kKein, kKein, "GewässerGüte"},
    {"STRUKTUR", TFeldTyp::String, 1, "'?'", kKein, kKein, "StrukturGüte"},
    {"EUTROPH", TFeldTyp::String, 1, "'0'", kKein, kKein, "Eutroph"},
    {"SOLO", TFeldTyp::Float, 0, "0,0", kKein, 3000.0, "SohleOben"},
    {"SOLU", TFeldTyp::Float, 0, "0,0", kKein, 3000.0, "SohleUnten"},
    {"LEN", TFeldTyp::Float, 0, "0,0", kKein, 100000.0, "Länge"},
    {"BSB", TFeldTyp::Float, 0, "5,0", kKein, 30.0, "VorbelastungBSB"},
    {"NH4", TFeldTyp::Float, 0, "0,3", kKein, 30.0, "VorbelastungNH4"},
    {"AFS", TFeldTyp::Float, 0, "15", kKein, 20000.0, "VorbelastungAFS"},
    {"CSB", TFeldTyp::Float, 0, "10,0", kKein, 300.0, "VorbelastungCSB"},
    {"PH", TFeldTyp::Float, 0, "7,0", kKein, 9.5, "VorbelastungPH-Wert"},
    {"ALK", TFeldTyp::Float, 0, "2,0", kKein, 7.0, "VorbelastungAlkalinität"},
    {"SO", TFeldTyp::Integer, 0, "300", kKein, 10000.0, ""},
    {"SU", TFeldTyp::Integer, 0, "300", kKein, 10000.0, ""},
    {"LO", TFeldTyp::Integer, 0, "0", kKein, 20000.0, ""},
    {"DIVERSITAETO", TFeldTyp::String, 1, "'0'", kKein, kKein, "DiversitätOben"},
    {"DIVERSITAETU", TFeldTyp::String, 1, "'0'", kKein, kKein, "DiversitätUnten"},
    {"STRUKTURENO", TFeldTyp::String, 1, "'0'", kKein, kKein, "StrukturenOben"},
    {"STRUKTURENU", TFeldTyp::String, 1, "'0'", kKein, kKein, "StrukturenUnten"},
    {"MAKROPHYTENO", TFeldTyp::String, 1, "'0'", kKein, kKein, "MakrophytenOben"},
    {"MAKROPHYTENU", TFeldTyp::String, 1, "'0'", kKein, kKein, "MakrophytenUnten"},
    {"AUFUNDABO", TFeldTyp::String, 1, "'0'", kKein, kKein, "AufUndAbwanderHindernisseOben"},
    {"AUFUNDABU", TFeldTyp::String, 1, "'0'", kKein, kKein, "AufUndAbwanderHindernisseUnten"},
    {"AUFWANDER", TFeldTyp::String, 1, "'0'", kKein, kKein, "AufwanderHindernisse"},
    {"SOEH", TFeldTyp::Integer, 0, "0", kKein, 10000.0, ""},
    {"SUEH", TFeldTyp::Integer, 0, "0", kKein, 10000.0, ""},
    {"SUEH2", TFeldTyp::Integer, 0, "0", kKein, 20000.0, ""},
    {"ZUSAMMENFLUESSEO", TFeldTyp::String, 1, "'0'", kKein, kKein, "ZusammenflüsseOben"},
    {"ZUSAMMENFLUESSEU", TFeldTyp::String, 1, "'0'", kKein, kKein, "ZusammenflüsseUnten"},
    {"N", TFeldTyp::Float, 0, "0,5", kKein, kKein, "n"},
    {"SUBSTRATO", TFeldTyp::String, 2, "'0'", kKein, kKein, "SubstratOben"},
    {"SUBSTRATU", TFeldTyp::String, 2, "'0'", kKein, kKein, "SubstratUnten"},
    {"WBP_ERHOBEN", TFeldTyp::String, 1, "'0'", kKein, kKein, "VerfahrenWiederbesiedlungsPotential"},
    {"LAGE", TFeldTyp::String, 1, "'0'", kKein, kKein, "Lage"},
    {"WBP1StrukturO", TFeldTyp::String, 1, "'?'", kKein, kKein, "WBP1.StrukturenOben"},
    {"WBP1StrukturU", TFeldTyp::String, 1, "'?'", kKein, kKein, "WBP1.StrukturenUnten"},
    {"WBP1ZuflussO", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, "WBP1.ZuflussOben"},
    {"WBP1ZuflussU", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, "WBP1.ZuflussUnten"},
    {"WBP1AufUndAb", TFeldTyp::String, 1, "'0'", kKein, kKein, "WBP1.AufUndAbwanderHindernisse"},
    {"WBP1Aufwander", TFeldTyp::String, 1, "'0'", kKein, kKein, "WBP1.AufwanderHindernisse"},
    {"X", TFeldTyp::Float, 0, "0,1", kKein, 1.0, "x"},
    {"Abflussdrosselung", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, ""},
    {"QD", TFeldTyp::Float, 0, "0,0", kKein, 999999.99, ""},
    {"Volumen", TFeldTyp::Integer, 0, "0", kKein, 999999.0, ""},
    {"Salmoniden", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, ""},
};
const TSpalte kCDSCON[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"TF", TFeldTyp::Float, 0, "0,0", kKein, 1000.0, ""},
};
const TSpalte kCDSREG[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"FileName", TFeldTyp::String, 256, "", kKein, kKein, ""},
};
const TSpalte kCDSAEO[] = {
    {"ID", TFeldTyp::Integer, 0, "", kKein, kKein, ""},
    {"kB", TFeldTyp::Float, 0, "1,0", kKein, 100.0, ""},
    {"kD", TFeldTyp::Float, 0, "1,0", kKein, 100.0, ""},
};
const TSpalte kCDSHRU[] = {
    {"ID", TFeldTyp::Integer, 0, "", kKein, kKein, ""},
    {"Bezeichnung", TFeldTyp::String, 32, "", kKein, kKein, ""},
    {"AE", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"CN", TFeldTyp::Float, 0, "", kKein, 99.0, ""},
};
const TSpalte kCDSPAR[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"Stoff", TFeldTyp::String, 16, "", kKein, kKein, ""},
    {"CH", TFeldTyp::Float, 0, "0,0", kKein, kKein, ""},
    {"CG", TFeldTyp::Float, 0, "0,0", kKein, kKein, ""},
    {"CF", TFeldTyp::Float, 0, "0,0", kKein, kKein, ""},
    {"CR", TFeldTyp::Float, 0, "0,0", kKein, kKein, ""},
    {"Dimension", TFeldTyp::String, 20, "", kKein, kKein, ""},
};
const TSpalte kCDSETA[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"Stoff", TFeldTyp::String, 16, "", kKein, kKein, ""},
    {"Wert", TFeldTyp::Float, 0, "0,0", kKein, kKein, ""},
    {"Dimension", TFeldTyp::String, 16, "", kKein, kKein, ""},
};
const TSpalte kCDSAEK[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"Bezeichnung", TFeldTyp::String, 32, "", kKein, kKein, ""},
    {"AE", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"PSI", TFeldTyp::Float, 0, "1", kKein, 1.0, ""},
    {"B", TFeldTyp::Integer, 0, "0", kKein, 100.0, ""},
    {"Kategorie", TFeldTyp::Integer, 0, "2", 1.0, 3.0, ""},
};
const TSpalte kCDSKOS[] = {
    {"ID", TFeldTyp::Integer, 0, "0", kKein, kKein, ""},
    {"Name", TFeldTyp::String, 32, "", kKein, kKein, ""},
    {"T", TFeldTyp::Float, 0, "0", kKein, 1.0, ""},
    {"R5", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R10", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R15", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R20", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R30", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R45", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R60", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R90", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R120", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R180", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R240", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R360", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R540", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R720", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R1080", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R1440", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R2880", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
    {"R4320", TFeldTyp::Float, 0, "0", kKein, 1000.0, ""},
};
const TSpalte kCDSVFL[] = {
    {"ID", TFeldTyp::Integer, 0, "", kKein, kKein, ""},
    {"KF", TFeldTyp::Float, 0, "0,00001", 1e-08, 0.01, ""},
    {"N", TFeldTyp::Float, 0, "0,1", 0.1, 1.0, ""},
    {"R", TFeldTyp::Float, 0, "100", kKein, 600.0, ""},
    {"D", TFeldTyp::Integer, 0, "10", 5.0, 4320.0, ""},
};
const TSpalte kCDSVBE[] = {
    {"ID", TFeldTyp::Integer, 0, "", kKein, kKein, ""},
    {"Regen", TFeldTyp::String, 32, "'Reinhold (n=0,1)'", kKein, kKein, ""},
    {"FZ", TFeldTyp::Float, 0, "1,2", 1.1, 1.2, ""},
    {"FA", TFeldTyp::Float, 0, "1,0", 0.2, 1.0, ""},
    {"LS", TFeldTyp::Float, 0, "0", kKein, 100.0, ""},
    {"BS", TFeldTyp::Float, 0, "0", kKein, 100.0, ""},
    {"M", TFeldTyp::Float, 0, "0", kKein, 100.0, ""},
    {"Z", TFeldTyp::Float, 0, "1,0", kKein, 10.0, ""},
    {"KFS", TFeldTyp::Float, 0, "0,0001", 1e-07, 0.01, ""},
    {"KFB", TFeldTyp::Float, 0, "0,0001", 1e-07, 0.01, ""},
    {"Vorreinigung", TFeldTyp::Boolean, 0, "FALSE", kKein, kKein, ""},
};
const TSpalte kCDSVMU[] = {
    {"ID", TFeldTyp::Integer, 0, "", kKein, kKein, ""},
    {"Reihe", TFeldTyp::String, 32, "'Reinhold (n=0,1)'", kKein, kKein, ""},
    {"FZ", TFeldTyp::Float, 0, "1,2", 1.1, 1.2, ""},
    {"KF", TFeldTyp::Float, 0, "0,01", 1e-07, 0.01, ""},
    {"L", TFeldTyp::Float, 0, "0", kKein, 100.0, ""},
    {"B", TFeldTyp::Float, 0, "0", kKein, 10.0, ""},
    {"Z", TFeldTyp::Float, 0, "0", kKein, 0.3, ""},
    {"M", TFeldTyp::Float, 0, "0", kKein, 10.0, ""},
};
const TSpalte kCDSVRI[] = {
    {"ID", TFeldTyp::Integer, 0, "", kKein, kKein, ""},
    {"Regen", TFeldTyp::String, 32, "'Reinhold (n=0,1)'", kKein, kKein, ""},
    {"FZ", TFeldTyp::Float, 0, "1,2", 1.1, 1.2, ""},
    {"KF", TFeldTyp::Float, 0, "0", 1e-07, 0.01, ""},
    {"LR", TFeldTyp::Float, 0, "0", kKein, 100.0, ""},
    {"BR", TFeldTyp::Float, 0, "0", kKein, 10.0, ""},
    {"HR", TFeldTyp::Float, 0, "0", kKein, 3.0, ""},
    {"SR", TFeldTyp::Float, 0, "0,35", kKein, 1.0, ""},
    {"DI", TFeldTyp::Float, 0, "0", kKein, 0.5, ""},
    {"DA", TFeldTyp::Float, 0, "0", kKein, 0.5, ""},
    {"AAUS", TFeldTyp::Float, 0, "0", kKein, 1.0, ""},
    {"A", TFeldTyp::Integer, 0, "0", kKein, 10.0, ""},
};
const TSpalte kCDSVSC[] = {
    {"ID", TFeldTyp::Integer, 0, "", kKein, kKein, ""},
    {"Regen", TFeldTyp::String, 32, "", kKein, kKein, ""},
    {"FZ", TFeldTyp::Float, 0, "1,2", 1.1, 1.2, ""},
    {"KF", TFeldTyp::Float, 0, "0", 1e-07, 0.01, ""},
    {"KFF", TFeldTyp::Float, 0, "0", 1e-07, 0.01, ""},
    {"HR", TFeldTyp::Float, 0, "0,00", kKein, 10.0, ""},
    {"DI", TFeldTyp::Float, 0, "", kKein, 10.0, ""},
    {"DA", TFeldTyp::Float, 0, "0,00", kKein, 10.0, ""},
    {"HF", TFeldTyp::Float, 0, "", kKein, 10.0, ""},
    {"HS", TFeldTyp::Float, 0, "", kKein, 10.0, ""},
};
const TSpalte kCDSTWGanglinie[] = {
    {"NR", TFeldTyp::Integer, 0, "", kKein, kKein, ""},
    {"NAME", TFeldTyp::String, 32, "", kKein, kKein, ""},
    {"H0", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H1", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H2", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H3", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H4", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H5", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H6", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H7", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H8", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H9", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H10", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H11", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H12", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H13", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H14", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H15", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H16", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H17", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H18", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H19", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H20", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H21", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H22", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H23", TFeldTyp::Float, 0, "", kKein, kKein, ""},
};
const TSpalte kCDSFWGanglinie[] = {
    {"NR", TFeldTyp::Integer, 0, "", kKein, kKein, ""},
    {"NAME", TFeldTyp::String, 32, "", kKein, kKein, ""},
    {"H1", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H2", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H3", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H4", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H5", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H6", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H7", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H8", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H9", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H10", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H11", TFeldTyp::Float, 0, "", kKein, kKein, ""},
    {"H12", TFeldTyp::Float, 0, "", kKein, kKein, ""},
};
const TSpalte kCDSStrassen[] = {
    {"STRASSE", TFeldTyp::String, 32, "", kKein, kKein, ""},
};
const TSpalte kCDSAdresse[] = {
    {"STRASSE", TFeldTyp::String, 60, "", kKein, kKein, ""},
    {"PLZ", TFeldTyp::String, 7, "", kKein, kKein, ""},
    {"ORT", TFeldTyp::String, 60, "", kKein, kKein, ""},
    {"TELEFON", TFeldTyp::String, 20, "", kKein, kKein, ""},
    {"FAX", TFeldTyp::String, 20, "", kKein, kKein, ""},
    {"EMAIL", TFeldTyp::String, 60, "", kKein, kKein, ""},
};


}  // namespace t21::spalten

namespace t21 {

namespace {

struct TTabellenDef {
  const char* Name;
  const TSpalte* Spalten;
  size_t Anzahl;
};

#define T21_TABELLE(x) {#x, spalten::k##x, std::size(spalten::k##x)}
const TTabellenDef kTabellen[] = {
    T21_TABELLE(CDSHyd),         T21_TABELLE(CDSNet),         T21_TABELLE(CDSKEZ),
    T21_TABELLE(CDSEbw),         T21_TABELLE(CDSKlg),         T21_TABELLE(CDSOma),
    T21_TABELLE(CDSEst),         T21_TABELLE(CDSCON),         T21_TABELLE(CDSREG),
    T21_TABELLE(CDSAEO),         T21_TABELLE(CDSHRU),         T21_TABELLE(CDSPAR),
    T21_TABELLE(CDSETA),         T21_TABELLE(CDSAEK),         T21_TABELLE(CDSKOS),
    T21_TABELLE(CDSVFL),         T21_TABELLE(CDSVBE),         T21_TABELLE(CDSVMU),
    T21_TABELLE(CDSVRI),         T21_TABELLE(CDSVSC),         T21_TABELLE(CDSTWGanglinie),
    T21_TABELLE(CDSFWGanglinie), T21_TABELLE(CDSStrassen),    T21_TABELLE(CDSAdresse),
};
#undef T21_TABELLE

std::map<std::string, std::shared_ptr<const TSchema>, std::less<>> BaueSchemata() {
  std::map<std::string, std::shared_ptr<const TSchema>, std::less<>> r;
  for (const auto& t : kTabellen) {
    auto s = std::make_shared<TSchema>();
    s->Name = t.Name;
    for (size_t i = 0; i < t.Anzahl; ++i) {
      const TSpalte& c = t.Spalten[i];
      TFeld f;
      f.Name = c.Name;
      f.Typ = c.Typ;
      f.Breite = c.Breite;
      f.Vorgabe = c.Vorgabe;
      if (c.Min == c.Min) f.Min = c.Min;  // kKein is NaN
      if (c.Max == c.Max) f.Max = c.Max;
      f.Label = c.Label;
      s->Felder.push_back(std::move(f));
    }
    r.emplace(t.Name, std::move(s));
  }
  return r;
}

}  // namespace

std::shared_ptr<const TSchema> ProjektSchema(std::string_view name) {
  static const auto schemata = BaueSchemata();
  const auto it = schemata.find(name);
  return it == schemata.end() ? nullptr : it->second;
}

}  // namespace t21
