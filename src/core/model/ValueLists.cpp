#include "ValueLists.h"

#include "CommaNumber.h"
#include "Cp1252.h"

#include <array>
#include <span>

namespace tarmelo::model {

namespace {

// Item texts in UTF-8; converted once to Windows-1252.

const char* const kMarke1[] = {"Bitte auswählen",
                               "Acura",
                               "Alfa Romeo",
                               "Alpina",
                               "Asia Motors",
                               "Aston Martin",
                               "Audi",
                               "Austin",
                               "Austin Healey",
                               "Bentley",
                               "BMW",
                               "Borgward",
                               "Brilliance",
                               "Bugatti",
                               "Buick",
                               "Cadillac",
                               "Caterham",
                               "Chevrolet",
                               "Chrysler",
                               "Citroen",
                               "Cobra",
                               "Corvette",
                               "Dacia",
                               "Daewoo",
                               "Daihatsu",
                               "DeTomaso",
                               "Dodge",
                               "Ferrari",
                               "Fiat",
                               "Ford",
                               "GMC",
                               "Holden",
                               "Honda",
                               "Hummer",
                               "Hyundai",
                               "Infiniti",
                               "Isuzu",
                               "Jaguar",
                               "Jeep",
                               "Kia",
                               "Königsegg",
                               "Lada",
                               "Lamborghini",
                               "Lancia",
                               "Land Rover",
                               "Landwind",
                               "Lexus",
                               "Ligier",
                               "Lincoln",
                               "Lotus",
                               "Mahindra",
                               "Maserati",
                               "Maybach",
                               "Mazda",
                               "Mercedes-Benz",
                               "MG",
                               "Mini",
                               "Mitsubishi",
                               "Morgan",
                               "Nissan",
                               "NSU",
                               "Oldsmobile",
                               "Opel",
                               "Peugeot",
                               "Piaggio",
                               "Plymouth",
                               "Pontiac",
                               "Porsche",
                               "Proton",
                               "Renault",
                               "Rolls Royce",
                               "Rover",
                               "Saab",
                               "Santana",
                               "Seat",
                               "Skoda",
                               "Smart",
                               "Ssangyong",
                               "Subaru",
                               "Suzuki",
                               "Talbot",
                               "Tata",
                               "Toyota",
                               "Trabant",
                               "Triumph",
                               "TVR",
                               "Volvo",
                               "VW",
                               "Wartburg",
                               "Wiesmann",
                               "andere"};

const char* const kMarke2[] = {"Bitte auswählen",
                               "Adly",
                               "Aeon",
                               "Aixam",
                               "Aprilia",
                               "Arctic Cat",
                               "Barossa",
                               "Bashan",
                               "Benelli",
                               "Beta",
                               "Bimota",
                               "Blata",
                               "BMW",
                               "Bombardier",
                               "Boom",
                               "Buell",
                               "Burelli",
                               "Cagiva",
                               "Can Am",
                               "Cectek",
                               "CPI",
                               "Daelim",
                               "Derbi",
                               "Dinli",
                               "DKW",
                               "Ducati",
                               "E-Ton",
                               "Explorer",
                               "Gasgas",
                               "Generic",
                               "GG Motorradtechnik",
                               "Gilera",
                               "Gorilla",
                               "Harley Davidson",
                               "Hercules",
                               "Honda",
                               "Husaberg",
                               "Husqvarna",
                               "Hyosung",
                               "Italjet",
                               "Jawa",
                               "Kawasaki",
                               "Keeway",
                               "Kimi",
                               "Kreidler",
                               "KTM",
                               "Kymco",
                               "Laverda",
                               "Lifan",
                               "Linhai",
                               "Maico",
                               "Malaguti",
                               "MBK",
                               "Moto Guzzi",
                               "Moto Morini",
                               "MV Agusta",
                               "MZ",
                               "NSU",
                               "Pegasus",
                               "Peugeot",
                               "PGO",
                               "Piaggio",
                               "Polaris",
                               "Puch",
                               "Rewaco",
                               "Rieju",
                               "Rivero",
                               "Royal Enfield",
                               "Sachs",
                               "Seikel",
                               "Simson",
                               "Skyteam",
                               "SMC",
                               "Suzuki",
                               "SYM",
                               "TBG",
                               "TM",
                               "Triton",
                               "Triumph",
                               "Ural",
                               "Vespa",
                               "Voxan",
                               "Yamaha",
                               "Zhongyu",
                               "Zündapp",
                               "andere"};

const char* const kMarke3[] = {"Bitte auswählen",
                               "Adria",
                               "Ahorn",
                               "Alpha",
                               "Arca",
                               "Autostar",
                               "Avento",
                               "Bavaria-Camp",
                               "Bawemo",
                               "Benimar",
                               "Bimobil",
                               "Bravia",
                               "Burow",
                               "Bürstner",
                               "Carado",
                               "Caravelair",
                               "Caro",
                               "Carthago",
                               "Challenger",
                               "Chateau",
                               "Chausson",
                               "Chrysler",
                               "CI International",
                               "Citroen",
                               "Coachmen",
                               "Concorde",
                               "Cristall",
                               "CS Reisemobile",
                               "Dehler",
                               "Delta",
                               "Dethleffs",
                               "Due Erre",
                               "Eifelland",
                               "Elnagh",
                               "Esterel",
                               "Euramobil",
                               "Euro Liner",
                               "EVM",
                               "Fendt",
                               "FFB - Tabbert",
                               "Fiat",
                               "Fischer",
                               "Fleetwood",
                               "Ford",
                               "Ford / Reimo",
                               "Four-Wheel Camper",
                               "Frankia",
                               "FR-Mobil",
                               "General Motors",
                               "Globecar",
                               "Granduca",
                               "Hehn",
                               "Heku",
                               "Hobby",
                               "Holiday Rambler",
                               "Home-Car",
                               "HRZ",
                               "Hymer-Eriba",
                               "Itineo",
                               "Iveco",
                               "Joint",
                               "Kabe",
                               "Karmann",
                               "Kip",
                               "Knaus",
                               "Laika",
                               "La Strada",
                               "LMC",
                               "M+M Mobile",
                               "MAN",
                               "Mazda",
                               "McLouis",
                               "Mercedes-Benz",
                               "Miller",
                               "Mirage",
                               "Mitsubishi",
                               "Mobilvetta",
                               "Monaco",
                               "Moncayo",
                               "Niesmann + Bischoff",
                               "Niewiadow",
                               "Nordstar",
                               "Orangecamp",
                               "Ormocar",
                               "Paul&Paula",
                               "Peugeot",
                               "Phoenix",
                               "Pilote",
                               "Pössl",
                               "Raclet",
                               "Rapido",
                               "Reimo",
                               "Reisemobile Beier",
                               "Renault",
                               "Rimor",
                               "Riva",
                               "Riviera",
                               "RMB",
                               "Roadtrek",
                               "Robel-Mobil",
                               "Rockwood",
                               "Roller Team",
                               "SEA",
                               "Seitz",
                               "Selbstbau",
                               "Six-Pac",
                               "Sloop",
                               "Sterckeman",
                               "Sunlight",
                               "Tabbert",
                               "TEC",
                               "Tischer",
                               "Triple E",
                               "Vario",
                               "Vögele",
                               "VW",
                               "Weinsberg",
                               "Weippert",
                               "Westfalia",
                               "Wilk",
                               "Wingamm",
                               "Winnebago",
                               "Woelcke",
                               "andere"};

const char* const kMarke4[] = {
    "Bitte auswählen", "Algema",        "Barkas",     "Citroen",  "DAF",    "Fiat",  "Ford",    "Hanomag",
    "Hyundai",         "Ifor Williams", "Intrall",    "Isuzu",    "Iveco",  "Kia",   "Ladog",   "MAN",
    "Mazda",           "Mercedes-Benz", "Mitsubishi", "Multicar", "Nissan", "Opel",  "Peugeot", "Piaggio",
    "Renault",         "Robur",         "Schmidt",    "Seat",     "Skoda",  "Steyr", "Suzuki",  "Toyota",
    "Unimog",          "Volvo",         "VW",         "andere"};

const char* const kMarke5[] = {"Bitte auswählen", "DAF",        "Faun",   "Freightliner",  "Grove",
                               "Iveco",           "Liebherr",   "Mack",   "Magirus Deutz", "MAN",
                               "Mercedes-Benz",   "Mitsubishi", "Nissan", "Opel",          "Palfinger",
                               "Peugeot",         "Renault",    "Scania", "Schmidt",       "Skoda",
                               "Steyr",           "Toyota",     "Unimog", "Volvo",         "VW",
                               "Yanmar",          "andere"};

const char* const kMarke6[] = {"Bitte auswählen", "DAF",    "Freightliner",  "Iveco",     "Kenworth", "Mack",
                               "Magirus Deutz",   "MAN",    "Mercedes-Benz", "Peterbilt", "Renault",  "Scania",
                               "TRAILIS",         "Unimog", "Volvo",         "Yanmar",    "andere"};

const char* const kMarke7[] = {"Bitte auswählen",
                               "Ackermann",
                               "Agados",
                               "Ahlmann",
                               "Algema",
                               "Annaburger",
                               "Anssems",
                               "Auwärter",
                               "Barthau",
                               "Blomenroehr",
                               "Blomert",
                               "BNG",
                               "Böckmann",
                               "Borco-Höhns",
                               "Brenderup",
                               "Brian James",
                               "Broshuis",
                               "Bunge",
                               "Carnehl",
                               "Chereau",
                               "Cheval Liberte",
                               "Daltec",
                               "Dinkel",
                               "Doll",
                               "Eduard",
                               "Feldbinder",
                               "Fitzel",
                               "Fliegl",
                               "Fruehauf",
                               "Goldhofer",
                               "Hapert",
                               "Heinemann",
                               "Hendricks",
                               "Henra",
                               "Hoffmann",
                               "Homar",
                               "Hüffermann",
                               "Humbaur",
                               "Ifor Williams",
                               "JUNG Fahrzeugbau",
                               "Kässbohrer",
                               "Kempf",
                               "Klagie",
                               "Koch",
                               "Koegel",
                               "Kotschenreuther",
                               "Kroeger",
                               "Krone",
                               "Krukenmeier",
                               "Lafaro",
                               "Lag",
                               "Langendorf",
                               "Ley",
                               "Meiller",
                               "Möslein",
                               "Müller-Mitteltal",
                               "Neptun",
                               "NFP-Eurotrailer",
                               "Nooteboom",
                               "Obermaier",
                               "Orten",
                               "Orthaus",
                               "Palfinger",
                               "Pezzaioli",
                               "Pongratz",
                               "Renders",
                               "Reuter",
                               "Saris",
                               "Schmidt",
                               "Schmitz",
                               "Schwarzmüller",
                               "Seico",
                               "Sluis",
                               "Sommer",
                               "Spitzer",
                               "Stema",
                               "Thiel",
                               "TPV",
                               "Trebbiner",
                               "Unsinn",
                               "Vanhool",
                               "VW",
                               "Wackenhut",
                               "Wagner",
                               "Westfalia",
                               "WM Meyer",
                               "andere"};

const char* const kMarke8[] = {"Bitte auswählen",
                               "Ackermann",
                               "Annaburger",
                               "Auwärter",
                               "Benalu",
                               "Böckmann",
                               "Brenderup",
                               "Broshuis",
                               "Bunge",
                               "Carnehl",
                               "Chereau",
                               "Dinkel",
                               "Doll",
                               "Feldbinder",
                               "Fliegl",
                               "Fruehauf",
                               "General Trailer",
                               "Goldhofer",
                               "Groenewegen",
                               "Heinemann",
                               "Hendricks",
                               "Hoffmann",
                               "Hüffermann",
                               "Humbaur",
                               "Kässbohrer",
                               "Kempf",
                               "Knapen",
                               "Koegel",
                               "Kotschenreuther",
                               "Kroeger",
                               "Krone",
                               "Lag",
                               "Lamberet",
                               "Langendorf",
                               "Meiller",
                               "Menci",
                               "Möslein",
                               "Müller-Mitteltal",
                               "NFP-Eurotrailer",
                               "Nooteboom",
                               "Orten",
                               "Orthaus",
                               "Pacton",
                               "Pezzaioli",
                               "Renders",
                               "Scheuerle",
                               "Schmidt",
                               "Schmitz",
                               "Schwarzmüller",
                               "Sommer",
                               "Spitzer",
                               "Stas",
                               "Trailor",
                               "Van Eck",
                               "Vanhool",
                               "VW",
                               "Wackenhut",
                               "Wagner",
                               "andere"};

const char* const kMarke9[] = {"Bitte auswählen",
                               "ABG",
                               "Ahlmann",
                               "Ammann",
                               "Atlas",
                               "Bobcat",
                               "BOMAG",
                               "Case",
                               "CAT",
                               "Daewoo",
                               "Demag",
                               "Ditch Witch",
                               "Dresser",
                               "Dynapac",
                               "Faun",
                               "Fermec",
                               "Fiat",
                               "Fuchs",
                               "Furukawa",
                               "Gehl",
                               "Gehlmax",
                               "Hako",
                               "Halla",
                               "Hamm",
                               "Hanix",
                               "Hanomag",
                               "Hinowa",
                               "Hitachi",
                               "Hydrema",
                               "Hyundai",
                               "IHC",
                               "IHI",
                               "JCB",
                               "Kaeser",
                               "Kaelble",
                               "Kobelco",
                               "Komatsu",
                               "Kramer",
                               "Krupp",
                               "Kubota",
                               "Liebherr",
                               "MF",
                               "Michigan",
                               "Mitsubishi",
                               "Morooka",
                               "Moxy",
                               "Multicar",
                               "Neuson",
                               "New Holland",
                               "NPK",
                               "O & K",
                               "Orthaus",
                               "Palfinger",
                               "Paus",
                               "Pel-Job",
                               "Potain",
                               "Rammax",
                               "Renault",
                               "Scania",
                               "Schaeff",
                               "Shatal",
                               "Takeuchi",
                               "Terberg",
                               "Terex",
                               "Unimog",
                               "Vermeer",
                               "Volvo",
                               "Wacker",
                               "Weber",
                               "Wirtgen",
                               "Yamaguchi",
                               "Yanmar",
                               "Zeppelin",
                               "Zettelmeyer",
                               "andere"};

const char* const kMarke10[] = {"Bitte auswählen",
                                "Berkhof",
                                "BOVA",
                                "DAF",
                                "Drögmöller",
                                "EOS",
                                "EVO",
                                "Fiat",
                                "Ford",
                                "Ikarus",
                                "Irisbus",
                                "Isuzu",
                                "Iveco",
                                "Magirus Deutz",
                                "MAN",
                                "Mercedes-Benz",
                                "Neoplan",
                                "Renault",
                                "Robur",
                                "Scania",
                                "Setra",
                                "Temsa",
                                "Vanhool",
                                "Volvo",
                                "VW",
                                "andere"};

const char* const kMarke11[] = {"Bitte auswählen",
                                "Accord",
                                "AGCOMASSEYFERGUSON",
                                "Amazone",
                                "Becker",
                                "Bergmann",
                                "Busatis",
                                "BVL-VANLENGEREICH",
                                "Carraro",
                                "Case",
                                "Claas",
                                "Deutz-Fahr",
                                "Doll",
                                "Dücker",
                                "Düvelsdorf",
                                "Eberhardt",
                                "Eicher",
                                "Fahr",
                                "Fella",
                                "Fendt",
                                "Fiat",
                                "Fortschritt",
                                "Frost",
                                "Gaspardo",
                                "Ginaf",
                                "Grimme",
                                "Güldner",
                                "Gutbrod",
                                "Hako",
                                "Hanomag",
                                "Hassia",
                                "Holder",
                                "Howard",
                                "IHC",
                                "Iseki",
                                "Jacobsen",
                                "JCB",
                                "John Deere",
                                "Kramer",
                                "Krone",
                                "Kubota",
                                "Lamborghini",
                                "Landini",
                                "Landsberg",
                                "Lanz",
                                "Lely",
                                "Lemken",
                                "MAN",
                                "Maschio",
                                "Massey Ferguson",
                                "McCormick",
                                "Mengele",
                                "Mercedes-Benz",
                                "Mitsubishi",
                                "Multicar",
                                "New Holland",
                                "Niemeyer",
                                "Porsche",
                                "Pöttinger",
                                "PZ-Vicon",
                                "Rabe",
                                "Rau",
                                "Rauch",
                                "Reformwerke Wels",
                                "Regent",
                                "Same",
                                "Schmidt",
                                "Steyr",
                                "Strautmann",
                                "Unimog",
                                "Vogel&Noot",
                                "Weidemann",
                                "Zetor",
                                "andere"};

const char* const kMarke12[] = {"Bitte auswählen", "Artison", "Baumann",       "Bobcat",    "BT",         "CAT",
                                "Cesab",           "Clark",   "Combilift",     "Daewoo",    "Fiat",       "Halla",
                                "Hyster",          "Irion",   "Jungheinrich",  "Kalmar",    "Komatsu",    "Lansing",
                                "Linde",           "Manitou", "Merlo",         "Michigan",  "Mitsubishi", "Nissan",
                                "O & K",           "Sambron", "Sichelschmidt", "Steinbock", "Still",      "TCM",
                                "Toyota",          "Yale",    "andere"};

const char* const kKategorie1[] = {"Bitte auswählen", "Cabrio/Roadster",  "Geländewagen/Pickup", "Kleinwagen", "Kombi",
                                   "Limousine",       "Sportwagen/Coupé", "Van/Kleinbus",        "andere"};

const char* const kKategorie2[] = {"Bitte auswählen",
                                   "Chopper/Cruiser",
                                   "Dirt Bike",
                                   "Enduro/Reiseenduro",
                                   "Gespann/Seitenwagen",
                                   "Klein/Leichtkraftrad",
                                   "Mofa/Mokick/Moped",
                                   "Motorrad",
                                   "Naked Bike",
                                   "Pocketbike",
                                   "Quad",
                                   "Rallye/Cross",
                                   "Rennsport",
                                   "Roller/Scooter",
                                   "Sportler/Supersportler",
                                   "Sporttourer",
                                   "Streetfighter",
                                   "Super Moto",
                                   "Tourer",
                                   "Trike",
                                   "andere"};

const char* const kKategorie3[] = {"Bitte auswählen",  "Alkoven",          "Integrierter", "Kastenwagen",
                                   "Mobilheim",        "Teilintegrierter", "Wohnkabine",   "Wohnmobil Pickup",
                                   "Wohnmobil andere", "Wohnwagen",        "andere"};

const char* const kKategorie4[] = {"Bitte auswählen",
                                   "Abrollkipper",
                                   "Abschleppwagen",
                                   "Absetzkipper",
                                   "Autokran",
                                   "Autotransporter",
                                   "Dreiseitenkipper",
                                   "Fahrgestell",
                                   "Geldtransporter",
                                   "Getränke",
                                   "Glastransporter",
                                   "Hubarbeitsbühne",
                                   "Kastenwagen",
                                   "Kastenwagen hoch",
                                   "Kastenwagen hoch + lang",
                                   "Kastenwagen lang",
                                   "Kehrmaschine",
                                   "Kipper",
                                   "Koffer",
                                   "Kombi, Kleinbus bis 9 Sitze",
                                   "Kühlkastenwagen",
                                   "Kühlkoffer",
                                   "Müllwagen",
                                   "Pritsche",
                                   "Pritsche + Plane",
                                   "Rettungswagen",
                                   "Saug- und Druckwagen",
                                   "Tankaufbau",
                                   "Tier-/Pferdetransport",
                                   "Verkaufsaufbau",
                                   "Wechselfahrgestell",
                                   "andere Transporter/Lkw bis 7,5t"};

const char* const kKategorie5[] = {"Bitte auswählen",
                                   "Abrollkipper",
                                   "Abschleppwagen",
                                   "Absetzkipper",
                                   "Autokran",
                                   "Autotransporter",
                                   "Betonmischer",
                                   "Betonpumpe",
                                   "Dreiseitenkipper",
                                   "Fahrgestell",
                                   "Getränkewagen",
                                   "Getreidekipper",
                                   "Holztransporter",
                                   "Hubarbeitsbühne",
                                   "Jumbo-LKW",
                                   "Kehrmaschine",
                                   "Kipper",
                                   "Koffer",
                                   "Kühlkoffer",
                                   "Lebensmitteltankwagen",
                                   "Muldenkipper",
                                   "Müllwagen",
                                   "Pritsche",
                                   "Pritsche + Plane",
                                   "Saug- und Druckwagen",
                                   "Tankwagen",
                                   "Tier-/Pferdetransportwagen",
                                   "Verkaufsaufbau",
                                   "Wechselfahrgestell",
                                   "andere Lkw über 7,5t"};

const char* const kKategorie6[] = {"Bitte auswählen", "Gefahrgut",   "Schwerlast",
                                   "Standard-SZM",    "Volumen-SZM", "andere Sattelzugmaschinen"};

const char* const kKategorie7[] = {"Bitte auswählen",
                                   "Abrollanhänger",
                                   "Autotransporter",
                                   "Bauwagen",
                                   "Bootsanhänger",
                                   "Dreiseitenkipper",
                                   "Fahrgestell",
                                   "Getränke",
                                   "Glastransport",
                                   "Holztransporter",
                                   "Hubarbeitsbühne",
                                   "Koffer",
                                   "Kühlkoffer",
                                   "Langmaterialtransporter",
                                   "Lebensmitteltank",
                                   "Möbellift",
                                   "Motorradanhänger",
                                   "Pkw-Anhänger",
                                   "Plattform",
                                   "Pritsche",
                                   "Pritsche + Plane",
                                   "Silo",
                                   "Tankaufbau",
                                   "Tieflader",
                                   "Tier-/Pferdetransport",
                                   "Verkaufsaufbau",
                                   "Walkingfloor",
                                   "Wechselfahrgestell",
                                   "Wechselpritsche",
                                   "andere Anhänger"};

const char* const kKategorie8[] = {"Bitte auswählen",
                                   "Autokran",
                                   "Autotransporter",
                                   "Fahrgestell",
                                   "Getränke",
                                   "Holztransporter",
                                   "Kipper",
                                   "Koffer",
                                   "Kühlkoffer",
                                   "Langmaterialtransporter",
                                   "Lebensmitteltank",
                                   "Plattform",
                                   "Pritsche",
                                   "Pritsche + Plane",
                                   "Silo",
                                   "Tankaufbau",
                                   "Tiefkühl",
                                   "Tieflader",
                                   "Verkaufsaufbau",
                                   "Viehtransporter",
                                   "Walkingfloor",
                                   "Wechselfahrgestell",
                                   "andere Auflieger"};

const char* const kKategorie9[] = {"Bitte auswählen",     "Arbeitsbühne",    "Asphalttechnik",
                                   "Baggerlader",         "Baugeräte",       "Baumaschinen / sonstige Anbauten",
                                   "Bodenstabilisierer",  "Bohrgerät",       "Grader",
                                   "Kettenbagger",        "Kran, stationär", "Mini-/Kompaktbagger",
                                   "Mobilbagger",         "Radlader",        "Raupe/Dozer",
                                   "Verdichtungstechnik", "Walzen",          "andere Baumaschinen"};

const char* const kKategorie10[] = {"Bitte auswählen", "Doppeldecker", "Gelenkbus",   "Kleinbus",
                                    "Linienbus",       "Reisebus",     "Überlandbus", "andere Busse"};

const char* const kKategorie11[] = {"Bitte auswählen",
                                    "Bodenbearbeitung",
                                    "Drillmaschine",
                                    "Düngerstreuer",
                                    "Erntemaschine",
                                    "Forst",
                                    "Frontlader",
                                    "Heumaschine",
                                    "Hofschlepper",
                                    "Mähdrescher",
                                    "Mäher",
                                    "Mulcher",
                                    "Obstbau",
                                    "Pflanzenschutz",
                                    "Pflug",
                                    "Schlepper",
                                    "Transportfahrzeug",
                                    "andere Agrarfahrzeuge",
                                    "sonstige Anbauten"};

const char* const kKategorie12[] = {"Bitte auswählen", "Containerstapler",   "Frontstapler",   "Geländestapler",
                                    "Hochhubwagen",    "Hochregalstapler",   "Niederhubwagen", "Schubmaststapler",
                                    "Seitenstapler",   "Teleskoparmstapler", "andere Stapler"};

const char* const kFarbe[] = {"keine Farbangabe", "anthrazit", "beige",   "blau",   "braun",   "bronze",   "dunkelblau",
                              "dunkelgrün",       "gelb",      "gold",    "grau",   "grün",    "hellblau", "hellgrün",
                              "orange",           "rot",       "schwarz", "silber", "violett", "weinrot",  "weiß"};

const char* const kKraftstoff1[] = {"keine Angabe",
                                    "Benzin",
                                    "Diesel",
                                    "Autogas (LPG)",
                                    "Erdgas (CNG)",
                                    "Elektro",
                                    "Hybrid (Benzin/Elektro)",
                                    "Wasserstoff",
                                    "Ethanol (FFV, E85, etc.)",
                                    "andere"};

const char* const kKraftstoff2[] = {"keine Angabe", "Benzin", "Diesel", "Elektro", "andere"};

const char* const kKraftstoff3[] = {
    "keine Angabe", "Benzin", "Diesel", "Autogas (LPG)", "Erdgas (CNG)", "Elektro", "Hybrid (Benzin/Elektro)",
    "Wasserstoff",  "andere"};

const char* const kGetriebe[] = {"keine Angabe", "Schaltgetriebe", "Automatik", "Halbautomatik"};

const char* const kKlima[] = {"keine Angabe", "keine Klimaanlage oder -automatik", "Klimaanlage", "Klimaautomatik"};

const char* const kAbgas[] = {"keine Angabe", "Euro 1", "Euro 2", "Euro 3", "Euro 4", "Euro 5"};

const char* const kUmwelt[] = {"keine Angabe", "1 (keine)", "2 (Rot)", "3 (Gelb)", "4 (Grün)"};

const char* const kTueren[] = {"keine Angabe", "2/3", "4/5", "6/7"};

const char* const kKwps[] = {"kW", "PS"};

const char* const kWaehr[] = {"EUR"};

const char* const kBn[] = {"brutto", "netto"};

const char* const kMwst[] = {"MwSt nicht ausweisbar",
                             "7%",
                             "7,6%",
                             "9%",
                             "10,7%",
                             "15%",
                             "16%",
                             "17%",
                             "17,5%",
                             "18%",
                             "19%",
                             "19,6%",
                             "20%",
                             "21%",
                             "22%",
                             "24%",
                             "25%"};

const char* const kTyp1[] = {"Gebrauchtwagen", "Neuwagen", "Tageszulassung", "Vorführwagen", "Jahreswagen", "Oldtimer"};

const char* const kTyp2[] = {"Gebrauchtwagen", "Neuwagen", "Vorführwagen", "Oldtimer"};

const char* const kAntrieb[] = {"keine Angabe", "Kardan", "Kette", "Riemen"};

const char* const kFahrerhaus4[] = {"keine Angabe", "Doppelkabine", "Liegeplatz"};

const char* const kFahrerhaus5[] = {"keine Angabe", "Nahverkehr", "Fernverkehr"};

const char* const kHydraulik[] = {"keine Angabe", "Kipphydraulik", "Schubbodenhydraulik", "Tankwagenhydraulik",
                                  "andere"};

const char* const kRadformel[] = {"keine Angabe", "4x2", "4x4", "6x2", "6x4", "6x6", "8x4", "8x6", "8x8"};

const char* const kLieferfrist[] = {"keine Angabe", "2 Wochen", "6 Wochen", "2 Monate", "3 Monate",
                                    "4 Monate",     "5 Monate", "6 Monate", "9 Monate", "12 Monate"};

struct CodeEntry {
    const char* item;
    const char* code;
};
const CodeEntry kKlimaCodes[] = {
    {"keine Klimaanlage oder -automatik", "0"}, {"Klimaanlage", "1"}, {"Klimaautomatik", "2"}};
const CodeEntry kKraftstoffCodes[] = {{"Benzin", "1"},        {"Diesel", "2"},
                                      {"Autogas (LPG)", "3"}, {"Erdgas (CNG)", "4"},
                                      {"Elektro", "6"},       {"Hybrid (Benzin/Elektro)", "7"},
                                      {"Wasserstoff", "8"},   {"Ethanol (FFV, E85, etc.)", "9"},
                                      {"andere", "0"}};
const CodeEntry kGetriebeCodes[] = {{"Schaltgetriebe", "1"}, {"Halbautomatik", "2"}, {"Automatik", "3"}};
const CodeEntry kLieferfristDays[] = {{"2 Wochen", "14"},  {"6 Wochen", "42"},  {"2 Monate", "60"},
                                      {"3 Monate", "90"},  {"4 Monate", "120"}, {"5 Monate", "150"},
                                      {"6 Monate", "180"}, {"9 Monate", "270"}, {"12 Monate", "360"}};

QList<LineCode> convertCodes(std::span<const CodeEntry> entries) {
    QList<LineCode> out;
    for (const CodeEntry& e : entries)
        out.append({*toCp1252(QString::fromUtf8(e.item)), QByteArray(e.code)});
    return out;
}

QList<QByteArray> convert(std::span<const char* const> utf8) {
    QList<QByteArray> out;
    out.reserve(qsizetype(utf8.size()));
    for (const char* s : utf8)
        out.append(*toCp1252(QString::fromUtf8(s)));
    return out;
}

struct Tables {
    std::array<QList<QByteArray>, 13> marke, kategorie;
    QList<QByteArray> farbe, kraftstoff1, kraftstoff2, kraftstoff3, getriebe, klima, abgas, umwelt, tueren, kwps, waehr,
        bn, mwst, typ1, typ2, antrieb, fahrerhaus4, fahrerhaus56, hydraulik, radformel, lieferfrist;
    QList<LineCode> klimaCodes, kraftstoffCodes, getriebeCodes, lieferfristDays;

    Tables() {
        const std::span<const char* const> makes[] = {kMarke1, kMarke2, kMarke3, kMarke4,  kMarke5,  kMarke6,
                                                      kMarke7, kMarke8, kMarke9, kMarke10, kMarke11, kMarke12};
        const std::span<const char* const> cats[] = {kKategorie1, kKategorie2,  kKategorie3,  kKategorie4,
                                                     kKategorie5, kKategorie6,  kKategorie7,  kKategorie8,
                                                     kKategorie9, kKategorie10, kKategorie11, kKategorie12};
        for (int c = 1; c <= 12; ++c) {
            marke[c] = convert(makes[c - 1]);
            kategorie[c] = convert(cats[c - 1]);
        }
        farbe = convert(kFarbe);
        kraftstoff1 = convert(kKraftstoff1);
        kraftstoff2 = convert(kKraftstoff2);
        kraftstoff3 = convert(kKraftstoff3);
        getriebe = convert(kGetriebe);
        klima = convert(kKlima);
        abgas = convert(kAbgas);
        umwelt = convert(kUmwelt);
        tueren = convert(kTueren);
        kwps = convert(kKwps);
        waehr = convert(kWaehr);
        bn = convert(kBn);
        mwst = convert(kMwst);
        typ1 = convert(kTyp1);
        typ2 = convert(kTyp2);
        antrieb = convert(kAntrieb);
        fahrerhaus4 = convert(kFahrerhaus4);
        fahrerhaus56 = convert(kFahrerhaus5);
        hydraulik = convert(kHydraulik);
        radformel = convert(kRadformel);
        lieferfrist = convert(kLieferfrist);
        klimaCodes = convertCodes(kKlimaCodes);
        kraftstoffCodes = convertCodes(kKraftstoffCodes);
        getriebeCodes = convertCodes(kGetriebeCodes);
        lieferfristDays = convertCodes(kLieferfristDays);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

bool validClass(int c) {
    return c >= 1 && c <= 12;
}

} // namespace

const QList<QByteArray>& listItems(ListId list, int klasse) {
    static const QList<QByteArray> none;
    const Tables& t = tables();
    switch (list) {
    case ListId::Marke:
        return validClass(klasse) ? t.marke[klasse] : none;
    case ListId::Kategorie:
        return validClass(klasse) ? t.kategorie[klasse] : none;
    case ListId::Farbe:
        return t.farbe;
    case ListId::Kraftstoff:
        return klasse == 1 ? t.kraftstoff1 : klasse == 2 ? t.kraftstoff2 : t.kraftstoff3;
    case ListId::Getriebe:
        return t.getriebe;
    case ListId::Klima:
        return t.klima;
    case ListId::Abgas:
        return t.abgas;
    case ListId::Umwelt:
        return t.umwelt;
    case ListId::Tueren:
        return t.tueren;
    case ListId::Kwps:
        return t.kwps;
    case ListId::Waehr:
        return t.waehr;
    case ListId::Bn:
        return t.bn;
    case ListId::Mwst:
        return t.mwst;
    case ListId::Lieferfrist:
        return t.lieferfrist;
    case ListId::Typ:
        return klasse == 1 ? t.typ1 : t.typ2;
    case ListId::Antrieb:
        return t.antrieb;
    case ListId::Fahrerhaus:
        return klasse == 4 ? t.fahrerhaus4 : t.fahrerhaus56;
    case ListId::Hydraulik:
        return t.hydraulik;
    case ListId::Radformel:
        return t.radformel;
    case ListId::None:
        break;
    }
    return none;
}

QStringList listDisplayItems(ListId list, int klasse) {
    QStringList out;
    for (const QByteArray& item : listItems(list, klasse))
        out.append(fromCp1252(item));
    return out;
}

bool storedAsText(ListId list) {
    switch (list) {
    case ListId::Marke:
    case ListId::Kategorie:
    case ListId::Farbe:
    case ListId::Kraftstoff:
    case ListId::Getriebe:
    case ListId::Klima:
    case ListId::Waehr:
    case ListId::Mwst:
    case ListId::Lieferfrist:
    case ListId::Typ:
        return true;
    default:
        return false;
    }
}

int showText(ListId list, int klasse, const QByteArray& stored) {
    const QList<QByteArray>& its = listItems(list, klasse);
    if (stored.isEmpty())
        return its.isEmpty() ? -1 : 0;
    const QString wanted = fromCp1252(stored);
    for (int i = 0; i < its.size(); ++i)
        if (wanted.compare(fromCp1252(its[i]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QByteArray storeText(ListId list, int klasse, int index) {
    const QList<QByteArray>& its = listItems(list, klasse);
    return index >= 0 && index < its.size() ? its[index] : QByteArray();
}

int showCode(ListId list, int klasse, quint8 v) {
    const int size = int(listItems(list, klasse).size());
    switch (list) {
    case ListId::Kwps:
    case ListId::Bn:
        return v != 0 ? 1 : 0;
    case ListId::Tueren:
        return v / 2 < size ? v / 2 : -1;
    case ListId::Antrieb: // list: keine Angabe, Kardan, Kette, Riemen; codes: 1 Kette, 2 Kardan, 3 Riemen
        return v == 1 ? 2 : v == 2 ? 1 : v == 3 ? 3 : 0;
    case ListId::Fahrerhaus:
        if (klasse == 4)
            return v < size ? v : -1;
        return v == 0 ? 0 : v == 3 ? 1 : 2;
    case ListId::Hydraulik: // list: keine Angabe, Kipp, Schubboden, Tankwagen, andere; code 1 is "andere"
        return v == 1 ? 4 : (v >= 2 && v <= 4) ? v - 1 : 0;
    case ListId::Radformel:
        return v <= 7 ? v : v == 9 ? 8 : 0;
    default:
        return v < size ? v : -1;
    }
}

quint8 storeCode(ListId list, int klasse, int index) {
    if (index < 0)
        return 0;
    switch (list) {
    case ListId::Tueren:
        return quint8(index * 2);
    case ListId::Antrieb:
        return quint8(index == 1 ? 2 : index == 2 ? 1 : index);
    case ListId::Fahrerhaus:
        if (klasse == 4)
            return quint8(index);
        return quint8(index == 0 ? 0 : index == 1 ? 3 : 4);
    case ListId::Hydraulik:
        return quint8(index == 0 ? 0 : index == 4 ? 1 : index + 1);
    case ListId::Radformel:
        return quint8(index == 8 ? 9 : index);
    default:
        return quint8(index);
    }
}

const QList<LineCode>& lineCodes(ListId list) {
    static const QList<LineCode> none;
    const Tables& t = tables();
    switch (list) {
    case ListId::Klima:
        return t.klimaCodes;
    case ListId::Kraftstoff:
        return t.kraftstoffCodes;
    case ListId::Getriebe:
        return t.getriebeCodes;
    case ListId::Lieferfrist:
        return t.lieferfristDays;
    default:
        return none;
    }
}

QByteArray lineCode(ListId list, const QByteArray& item) {
    for (const LineCode& c : lineCodes(list))
        if (c.item == item)
            return c.code;
    return list == ListId::Getriebe ? QByteArrayLiteral("0") : QByteArray();
}

QByteArray lineItem(ListId list, QByteArrayView code) {
    for (const LineCode& c : lineCodes(list))
        if (c.code == code)
            return c.item;
    return items::kKeineAngabe;
}

std::bitset<256> storableCodes(ListId list) {
    std::bitset<256> codes;
    for (int klasse = 1; klasse <= 12; ++klasse) {
        const int n = int(listItems(list, klasse).size());
        for (int i = 0; i < n; ++i)
            codes.set(storeCode(list, klasse, i));
    }
    return codes;
}

std::optional<double> vatPercent(const QByteArray& mwst) {
    if (mwst == items::kMwstNichtAusweisbar)
        return std::nullopt;
    QByteArray t = mwst.trimmed();
    if (t.endsWith('%'))
        t = t.chopped(1).trimmed();
    const auto n = parseCommaNumber(std::string_view(t.constData(), size_t(t.size())));
    // A negative rate cannot be a tax rate and would make the net price meaningless.
    if (!n || n->value < 0)
        return std::nullopt;
    return n->value;
}

QByteArray colourShowText(const QByteArray& stored) {
    return stored.isEmpty() ? items::kKeineFarbangabe : stored;
}

QByteArray colourStoreText(const QByteArray& editText) {
    return editText.trimmed().left(32);
}

} // namespace tarmelo::model
